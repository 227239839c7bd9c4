#include "ModuloLingua.h"

#include <QAction>
#include <QActionGroup>
#include <QCoreApplication>
#include <QDir>
#include <QMenu>
#include <QPointer>
#include <algorithm>
#include <utility>

#include "DbfTable.h"

namespace {
const QString kKeyField = QStringLiteral("IDENTIF");
const QString kLanguageNameKey = QStringLiteral("MenuLingua");
constexpr int kLanguageNameLength = 12;

// A widget must be deleted while the application object still exists, but a
// module owned by the application is destroyed only after QApplication has
// taken the widget system down. So the language menus are kept in a list, and
// any still alive when the application ends are deleted by its clean-up
// routine, which runs while widgets can still be deleted.
QList<QPointer<QMenu>>& LiveMenus() {
  static QList<QPointer<QMenu>> menus;
  return menus;
}
bool cleanupRegistered = false;

void DeleteLiveMenus() {
  cleanupRegistered = false;
  for (const QPointer<QMenu>& menu : std::exchange(LiveMenus(), {})) delete menu.data();
}

QMenu* NewLanguageMenu() {
  auto* menu = new QMenu;
  menu->setObjectName(QStringLiteral("PopupMenuLingue"));
  LiveMenus().removeAll(nullptr);
  LiveMenus().append(menu);
  if (!cleanupRegistered) {
    qAddPostRoutine(DeleteLiveMenus);
    cleanupRegistered = true;
  }
  return menu;
}
}  // namespace

struct TModuloLingua::Private {
  QString path;  // the table file; empty until Open
  DbfTable table;
  bool usable = false;
  QString selectedColumn;
  QPointer<QMenu> menu = NewLanguageMenu();
  QActionGroup* group = nullptr;

  QList<QAction*> Items() const;

  // Opens the table and indexes its rows by key; a table without the key
  // column still opens (it has fields but no row can be found).
  bool OpenTable() {
    if (table.IsOpen()) return true;
    if (path.isEmpty() || !table.Open(path)) return false;
    table.IndexBy(kKeyField);
    return true;
  }
};

TModuloLingua::TModuloLingua(QObject* parent) : QObject(parent), d_(new Private) {}

TModuloLingua::~TModuloLingua() {
  delete d_->menu.data();  // null when the application's clean-up deleted it
  delete d_;
}

bool TModuloLingua::Open(const QString& folder, const QString& tableFile) {
  Deactivate();
  if (d_->menu.isNull()) return false;
  d_->menu->clear();
  delete d_->group;
  d_->group = new QActionGroup(this);
  d_->group->setExclusive(true);
  d_->path = QDir(folder).filePath(tableFile);

  bool ok = Activate();
  const QStringList fields = ok ? d_->table.FieldNames() : QStringList();
  // The first field is the key column; each further one is a language.
  for (int i = 1; ok && i < fields.size(); ++i) {
    const std::optional<QString> name = LookUp(kLanguageNameKey, fields[i], kLanguageNameLength);
    if (!name) {
      ok = false;
      break;
    }
    auto* action = new QAction(*name, d_->menu);
    action->setObjectName(fields[i]);
    action->setCheckable(true);
    d_->group->addAction(action);
    d_->menu->addAction(action);
    const int index = i - 1;
    connect(action, &QAction::triggered, this, [this, action, index] {
      action->setChecked(true);
      emit LanguageActivated(index);
    });
  }
  Deactivate();
  if (!ok) {
    d_->menu->clear();
    d_->usable = false;
  }
  return ok;
}

bool TModuloLingua::IsUsable() const {
  return d_->usable;
}
void TModuloLingua::SetUsable(bool usable) {
  d_->usable = usable;
}

QMenu* TModuloLingua::PopupMenuLingue() const {
  return d_->menu.data();
}

QList<QAction*> TModuloLingua::Private::Items() const {
  return menu.isNull() ? QList<QAction*>() : menu->actions();
}

int TModuloLingua::LanguageCount() const {
  return static_cast<int>(d_->Items().size());
}

QStringList TModuloLingua::LanguageFields() const {
  QStringList fields;
  for (const QAction* action : d_->Items()) fields.append(action->objectName());
  return fields;
}

QString TModuloLingua::SelectedColumn() const {
  return d_->selectedColumn;
}
void TModuloLingua::SetSelectedColumn(const QString& field) {
  d_->selectedColumn = field;
}

void TModuloLingua::SelectLanguage(int index) {
  if (index < 0 || index >= LanguageCount()) return;
  d_->Items().at(index)->trigger();
}

bool TModuloLingua::Activate() {
  return d_->OpenTable();
}

void TModuloLingua::Deactivate() {
  d_->table.Close();
}

bool TModuloLingua::IsActive() const {
  return d_->table.IsOpen();
}

std::optional<QString> TModuloLingua::LookUp(const QString& key, const QString& column,
                                             int maxLength) const {
  // A lookup outside an activation opens the table just for itself.
  const bool wasActive = d_->table.IsOpen();
  if (!d_->OpenTable()) return std::nullopt;
  std::optional<QString> text = d_->table.Cell(key, column);
  if (!wasActive) d_->table.Close();
  if (text) *text = text->left(std::max(0, maxLength));
  return text;
}

std::optional<QString> TModuloLingua::Text(const QString& key, int maxLength) const {
  return LookUp(key, d_->selectedColumn, maxLength);
}

QString TModuloLingua::TextWithoutAccelerator(const QString& caption) {
  QString text = caption;
  const qsizetype amp = text.indexOf(QLatin1Char('&'));
  if (amp >= 0) text.remove(amp, 1);
  return text;
}
