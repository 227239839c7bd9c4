// TFormMain: the main window and its menu of tools. A title, eight large
// entries with an arrow beside the current one (keyboard and mouse move it,
// Enter or a click opens the tool), the menu bar with the same commands plus
// file, connection and help, a hidden status bar kept up to date, and the
// language menu on the right mouse button.
#pragma once

#include <QHash>
#include <QList>
#include <QMainWindow>
#include <QStringList>

class QAction;
class QFileDialog;
class QLabel;
class QMenu;
class TFormSplash;
class MainMenuEntry;

class TFormMain : public QMainWindow {
  Q_OBJECT

 public:
  // Entry indices.
  enum Entry {
    kVisualizza = 0,
    kConfVettura = 1,
    kConfOpt = 2,
    kConfSw = 3,
    kDiagnosi = 4,
    kIndicatore = 5,
    kFile = 6,
    kUscita = 7,
  };
  // Status bar panels.
  enum Panel { kPanelConnection = 0, kPanelPort = 1, kPanelLanguage = 2, kPanelFile = 3 };

  // Runs the whole construction: the command line (arguments without the
  // program name), the dictionary, the splash and language choice, the wait
  // window and, outside demo mode, the start-up connection.
  explicit TFormMain(const QStringList& arguments, QWidget* parent = nullptr);
  ~TFormMain() override;

  // Entries.
  int EntryCount() const { return entryCount_; }
  QLabel* EntryLabel(int index) const;
  QAction* EntryAction(int index) const;
  bool EntryVisible(int index) const;
  void HideEntry(int index);
  void ShowEntry(int index);
  int CurrentEntry() const;
  void MarkEntry(int index);
  void MoveUp();
  void MoveDown();
  void ExecuteCurrentEntry();

  // Layout after every hide or show, and horizontal centring.
  void RunLayout();
  void CentreHorizontally();
  int ClientHeight() const;
  int ClientWidth() const;

  // Applies the language at index of the language menu to this window and
  // stores the index in the settings.
  void OnLanguageActivated(int index);
  // The caption routine: every text of this window from the selected column.
  bool ApplyCaptions(int index);

  // Dictionary texts the window keeps for messages; empty until a language is
  // applied.
  QString MessageText(const QString& key) const { return messages_.value(key); }

  QString StatusPanel(int panel) const;
  void SetStatusPanel(int panel, const QString& text);
  // A passing message in the status bar, shown for it (snapshot or journal failures).
  void ReportInStatusBar(const QString& text);

  int OptionalPage() const { return optionalPage_; }
  void SetOptionalPage(int page) { optionalPage_ = page; }

  bool ScaledToScreen() const { return scaled_; }

  // Configuration files (".vst") from the File menu.
  void OpenConfiguration();
  void SaveConfiguration();
  // A recorded log (".mlg") chosen in a file dialog, shown in the chart.
  void OpenRecordingFile();
  QFileDialog* RecordingDialog() const { return recordingDialog_; }
  QFileDialog* OpenDialog1() const { return openDialog_; }
  QFileDialog* SaveDialog1() const { return saveDialog_; }

  // Every action and menu item by its name (ActionConnetti, MenuRileggi ...).
  QAction* Action(const QString& name) const;

  QLabel* LabelMenu = nullptr;
  QLabel* LabelFreccia = nullptr;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  bool event(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildForm();
  void BuildEntries();
  void BuildActions();
  void BuildMenus();
  void BuildStatusBar();
  void BuildFileDialogs();
  QAction* NewAction(const QString& name, const QString& caption);
  void ConnectCommands();
  void LeaveEntry(int index);
  void SetEntryVisible(int index, bool visible);
  bool HandleKey(QKeyEvent* key);
  void Construct(const QStringList& arguments);
  void ShowLanguageMenu(const QPoint& position);
  void PrepareDialogFolder(QFileDialog* dialog);

  int entryCount_ = 0;
  int optionalPage_ = 0;
  int softwarePage_ = 0;
  bool firstShown_ = false;
  bool scaled_ = false;
  QList<MainMenuEntry*> entries_;
  QList<QAction*> entryActions_;
  QHash<QString, QAction*> actions_;
  QHash<QString, QString> messages_;
  QList<QLabel*> statusPanels_;
  QFileDialog* openDialog_ = nullptr;
  QFileDialog* saveDialog_ = nullptr;
  QFileDialog* recordingDialog_ = nullptr;
  QWidget* waitWindow_ = nullptr;
};
