// FieldEditor: the keyboard editing of a configuration window's rows, shared
// by the vehicle, optional and software configuration windows.
//
// How a window uses it:
//  1. The window declares its rows as a constexpr FieldRow table (and a
//     FieldPage table when it has pages) and creates every caption label and
//     input with the object names the table gives, the inputs inside the
//     pages of its QTabWidget (or any container when it has no pages). It
//     also creates, by name, "LabelLimiti", "LabelNonConnesso" and, if it has
//     a logo, "Image1"; the editor creates "LabelFreccia" and "LabelHint".
//  2. It constructs a FieldEditor with itself, the store, the tables, the page
//     control and the options that say how it differs from the others, before
//     scaling itself to the screen. The editor finds the controls by name
//     (a table naming a control the window lacks, or one of another kind,
//     throws std::logic_error with the name), tags them with their row index
//     and from then on watches every key, wheel and focus event of the
//     window and its controls: the window overrides no key handling.
//  3. It stores its unit texts with UnitText(key) (an assigner for its
//     dictionary table) and gives its change handlers with SetChangeHandler.
//  4. When shown, it runs its own show steps around PopulateFields() (ranges
//     with SetRange before, visibility adjustments after), then StartOnPage()
//     or StartAtFirstRow().
//  5. Handlers receive (handler, row, phase): HandlerPhase::ShowStored after
//     the row was read from the store, HandlerPhase::WriteChange when the user
//     toggled a check box or committed a list choice. A WriteChange handler
//     returns false when the ECU refused one of its writes; the editor then
//     beeps once and runs it again with ShowStored, so the row shows what the
//     store holds.
//  6. ActivePage() gives the page to hand back to the opener at closing.
// Connection news (kConnectionStateEventType) sent to the window is taken by
// the editor: "LabelNonConnesso" and "Image1" are visible exactly while the
// ECU is not connected.
//
// The class's work is spread over files by job:
//   FieldEditor.cpp             binding the table to the window, the rows,
//                               populating them from the store
//   FieldEditorEvents.cpp       the event filter: keys, wheel, focus, mouse
//   FieldEditorNavigation.cpp   moving between rows and pages
//   FieldEditorCommit.cpp       writing edits, lists and check boxes, handlers
//   FieldEditorPresentation.cpp the arrow, hint, highlight and unit labels
#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <vector>

#include "FieldTable.h"

class ConfCar;
class QCheckBox;
class QComboBox;
class QDialog;
class QFocusEvent;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QTabWidget;
class QWidget;

// How a window's use of the editor differs from the others'.
struct FieldEditorOptions {
  // PopulateFields reads the rows last to first.
  bool populateBackwards = false;
  // Leaving a row keeps its caption highlighted until another row is entered.
  bool keepHighlightOnExit = false;
  // Unit labels are made for edits that are enabled (true) or visible (false).
  bool unitLabelWhenEnabled = false;
  // Left edge of the arrow, in design pixels (before any scaling).
  int arrowLeft = 48;
};

class FieldEditor : public QObject {
  Q_OBJECT

 public:
  // Returns false only with HandlerPhase::WriteChange, when one of the
  // handler's writes was refused.
  using ChangeHandler = std::function<bool(int handler, int row, HandlerPhase phase)>;

  // window: the dialog whose children carry the table's names. pageControl may
  // be nullptr (no pages); pages must then be empty. Throws std::logic_error
  // when a row's caption or input is missing or of the wrong kind.
  FieldEditor(QDialog* window, ConfCar& store, FieldRows rows, FieldPages pages,
              QTabWidget* pageControl, FieldEditorOptions options = {});
  ~FieldEditor() override;

  void SetChangeHandler(ChangeHandler handler) { handler_ = std::move(handler); }
  // What F12 calls with the window; nothing happens while unset.
  void SetLiveViewOpener(std::function<void(QWidget*)> opener) { liveView_ = std::move(opener); }
  // An assigner for the window's dictionary table that keeps the unit text
  // under key, cut to its first 5 characters.
  std::function<void(const QString&)> UnitText(const char* key);
  QString Unit(const char* key) const;

  // --- Show time ---
  // Reads every row from the store (the window's order), sets the texts,
  // hints and unit labels, and runs the handlers with ShowStored.
  void PopulateFields();
  // Windows with pages: starts on the given page (an unknown index means the
  // first page) at its first navigable row.
  void StartOnPage(int page);
  // Windows without pages: starts at the first navigable row.
  void StartAtFirstRow();
  // "LabelNonConnesso" and "Image1" visible exactly while not connected.
  void ShowConnectionState(bool connected);

  // --- Rows ---
  int RowCount() const { return static_cast<int>(rows_.size()); }
  const FieldRow& Row(int row) const { return rows_[static_cast<std::size_t>(row)].field; }
  QLabel* Caption(int row) const;
  QWidget* Input(int row) const;
  QLineEdit* Edit(int row) const;      // nullptr unless an edit row
  QCheckBox* CheckBox(int row) const;  // nullptr unless a check-box row
  QComboBox* List(int row) const;      // nullptr unless a list row
  // The unit label made by PopulateFields ("UM" + row), or nullptr.
  QLabel* UnitLabel(int row) const;
  // Replaces a row's range (before PopulateFields, so the hint shows it).
  void SetRange(int row, double minimum, double maximum);
  QString Hint(int row) const;
  // Shows or hides the row's caption, input and unit label together.
  void SetRowShown(int row, bool shown);
  // The row's value as the store holds it (GetValue or GetElement).
  double StoredValue(int row) const;
  // Sets an edit row's text to the formatted value.
  void SetEditValue(int row, double value);
  // The row's own value read from the store into its input.
  void ShowStoredValue(int row);

  // --- Editing state ---
  int CurrentRow() const { return currentRow_; }
  double ConfirmedValue() const { return confirmed_; }
  bool LimitOverride() const { return limitOverride_; }
  // Index of the active page; 0 without pages.
  int ActivePage() const;
  // Whether a row's input can take the focus by navigation.
  bool Navigable(int row) const;

  // --- The operations the keys call, public for the windows and tests ---
  void CommitField();
  void SelectNextField();
  void SelectPreviousField();
  void ToggleLimitOverride();
  // Takes the highlight off the current row's caption (before a window
  // populates itself again).
  void RemoveHighlight();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct RowState {
    FieldRow field;
    // The parameter's range, step and unit; the range as the window last set it.
    params::EditLimits limits;
    QLabel* caption = nullptr;
    QWidget* input = nullptr;
    QPointer<QLabel> unitLabel;
    QString hint;
    int page = -1;
  };

  // FieldEditor.cpp
  void BindRows();
  // Watches object's events and, for a widget, those of every widget under it.
  void Watch(QObject* object);
  void PopulateRow(int row);
  const params::EditLimits& Limits(int row) const {
    return rows_[static_cast<std::size_t>(row)].limits;
  }
  bool PageTabVisible(int page) const;
  int RowOf(const QObject* object) const;

  // FieldEditorEvents.cpp
  bool HandleListViewKey(QWidget* widget, QKeyEvent* key);
  void HandleFocus(QObject* watched, QFocusEvent* focus);
  bool HandleWindowKey(QWidget* focused, QKeyEvent* key);
  bool HandleInputKey(int row, QKeyEvent* key);
  bool FilterCharacter(QLineEdit* edit, int row, QKeyEvent* key);
  bool EditEntirelySelected(const QLineEdit* edit) const;
  bool ListOpen(const QComboBox* list) const;

  // FieldEditorNavigation.cpp
  void FocusRow(int row);
  void ActivatePageOf(int row);
  void ChangePage(int direction);
  void PageChanged(int page);
  void FocusEntry(int row);
  void FocusExit(int row);

  // FieldEditorCommit.cpp
  void RunHandler(int row, HandlerPhase phase);
  void CommitList(int row, int index);
  void CheckBoxClicked(int row);

  // FieldEditorPresentation.cpp
  void MakeMarkers();
  void MakeUnitLabel(int row);
  void Highlight(int row, bool on);
  void MoveArrowTo(int row);
  void PlaceHint(int row);

  QDialog* window_;
  ConfCar& store_;
  std::vector<RowState> rows_;
  std::vector<FieldPage> pages_;
  QTabWidget* pageControl_;
  FieldEditorOptions options_;
  ChangeHandler handler_;
  std::function<void(QWidget*)> liveView_;
  QHash<QString, QString> units_;

  QLabel* arrow_ = nullptr;
  QLabel* hintLabel_ = nullptr;
  QLabel* limitsLabel_ = nullptr;

  int currentRow_ = -1;
  double confirmed_ = 0;
  bool limitOverride_ = false;
  bool switchingPage_ = false;
  int highlightedRow_ = -1;
};
