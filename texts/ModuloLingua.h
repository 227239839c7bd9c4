// The language module: the dictionary table (one row per text key, one column
// per language), the language menu built from its columns, and the lookups
// that give every window its captions in the selected language.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <optional>

class QMenu;
class QAction;

class TModuloLingua : public QObject {
  Q_OBJECT

 public:
  explicit TModuloLingua(QObject* parent = nullptr);
  ~TModuloLingua() override;

  // Opens the table file in folder, reads its field names and builds
  // PopupMenuLingue: one checkable radio item per column after the first, named
  // after the field, captioned with the first 12 characters of that column's
  // "MenuLingua" text. false on any failure (the caller reports it).
  bool Open(const QString& folder, const QString& tableFile);

  // Set by the main window after a successful Open, cleared when it fails.
  bool IsUsable() const;
  void SetUsable(bool usable);

  QMenu* PopupMenuLingue() const;
  int LanguageCount() const;
  QStringList LanguageFields() const;  // field names, in column order

  // Field name of the column used by all lookups; empty until a language is
  // applied.
  QString SelectedColumn() const;
  void SetSelectedColumn(const QString& field);

  // 0 <= index < LanguageCount(): triggers that language's menu item as a
  // click would; otherwise nothing.
  void SelectLanguage(int index);

  // The dictionary table is read from disk while active (a window's lookups).
  bool Activate();
  void Deactivate();
  bool IsActive() const;

  // The text under key in column, cut to maxLength characters. nullopt when
  // the table cannot be read, the column or key does not exist, or the cell is
  // empty: the callers treat all of these as a table error.
  std::optional<QString> LookUp(const QString& key, const QString& column, int maxLength) const;
  // The same in the selected column.
  std::optional<QString> Text(const QString& key, int maxLength) const;

  // The caption with its first "&" removed (unchanged when it has none).
  static QString TextWithoutAccelerator(const QString& caption);

 signals:
  // Emitted when a language item is activated, with its position.
  void LanguageActivated(int index);

 private:
  struct Private;
  Private* d_;
};
