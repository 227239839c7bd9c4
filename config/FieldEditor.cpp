// FieldEditor: binding the table to the window, the rows, and populating them
// from the store.
#include "FieldEditor.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <stdexcept>

#include "ConfCar.h"
#include "FieldNumbers.h"

namespace {

constexpr int kUnitTextLength = 5;

const char* KindName(FieldKind kind) {
  switch (kind) {
    case FieldKind::Edit:
      return "line edit";
    case FieldKind::CheckBox:
      return "check box";
    case FieldKind::List:
      return "list";
  }
  return "input";
}

bool IsOfKind(const QWidget* input, FieldKind kind) {
  switch (kind) {
    case FieldKind::Edit:
      return qobject_cast<const QLineEdit*>(input) != nullptr;
    case FieldKind::CheckBox:
      return qobject_cast<const QCheckBox*>(input) != nullptr;
    case FieldKind::List:
      return qobject_cast<const QComboBox*>(input) != nullptr;
  }
  return false;
}

// A table that names a control the window does not have is a programming
// fault: it stops the window in every build, naming what is missing.
[[noreturn]] void ThrowMissingControl(const QDialog* window, int row, const char* what,
                                      const char* name) {
  throw std::logic_error(QStringLiteral("Field row %1: window \"%2\" has no %3 named \"%4\"")
                             .arg(row)
                             .arg(window->objectName(), QLatin1String(what),
                                  QLatin1String(name != nullptr ? name : "(null)"))
                             .toStdString());
}

}  // namespace

FieldEditor::FieldEditor(QDialog* window, ConfCar& store, FieldRows rows, FieldPages pages,
                         QTabWidget* pageControl, FieldEditorOptions options)
    : window_(window),
      store_(store),
      pages_(pages.begin(), pages.end()),
      pageControl_(pageControl),
      options_(options) {
  rows_.reserve(rows.size());
  for (const FieldRow& row : rows) {
    RowState state;
    state.field = row;
    state.limits = LimitsOf(row);
    rows_.push_back(state);
  }
  MakeMarkers();
  BindRows();
  if (pageControl_ != nullptr)
    connect(pageControl_, &QTabWidget::currentChanged, this, &FieldEditor::PageChanged);
  // The editor sees every key before the focused input does, and the wheel:
  // it watches the window and every control in it, those added later too.
  Watch(window_);
}

FieldEditor::~FieldEditor() {
  window_->removeEventFilter(this);
  for (QWidget* child : window_->findChildren<QWidget*>()) child->removeEventFilter(this);
}

void FieldEditor::Watch(QObject* object) {
  object->installEventFilter(this);
  if (!object->isWidgetType()) return;
  for (QWidget* child : object->findChildren<QWidget*>()) child->installEventFilter(this);
}

void FieldEditor::BindRows() {
  for (int r = 0; r < RowCount(); ++r) {
    RowState& row = rows_[static_cast<std::size_t>(r)];
    const char* captionName = row.field.caption;
    const char* inputName = row.field.input;
    row.caption = captionName == nullptr
                      ? nullptr
                      : window_->findChild<QLabel*>(QString::fromLatin1(captionName));
    if (row.caption == nullptr) ThrowMissingControl(window_, r, "label", captionName);
    row.input = inputName == nullptr
                    ? nullptr
                    : window_->findChild<QWidget*>(QString::fromLatin1(inputName));
    if (row.input == nullptr || !IsOfKind(row.input, row.field.kind))
      ThrowMissingControl(window_, r, KindName(row.field.kind), inputName);
  }
  for (int r = 0; r < RowCount(); ++r) {
    RowState& row = rows_[static_cast<std::size_t>(r)];
    row.caption->setProperty("Tag", r);
    row.input->setProperty("Tag", r);
    if (pageControl_ != nullptr) {
      for (int p = 0; p < pageControl_->count(); ++p)
        if (pageControl_->widget(p)->isAncestorOf(row.input)) row.page = p;
    }
    if (auto* edit = qobject_cast<QLineEdit*>(row.input)) {
      // Text reaches an edit only through the character filter: no paste from
      // a context menu, a drop or the mouse selection.
      edit->setContextMenuPolicy(Qt::NoContextMenu);
      edit->setAcceptDrops(false);
      edit->setDragEnabled(false);
    } else if (auto* box = qobject_cast<QCheckBox*>(row.input)) {
      connect(box, &QCheckBox::clicked, this, [this, r] { CheckBoxClicked(r); });
    } else if (auto* list = qobject_cast<QComboBox*>(row.input)) {
      connect(list, &QComboBox::activated, this, [this, r](int index) { CommitList(r, index); });
      // A list takes the focus by the wheel, before the wheel event reaches
      // anyone: the row under the pointer would become the current one.
      // The wheel moves between rows from the focused row only.
      list->setFocusPolicy(Qt::StrongFocus);
      // Its drop-down is a window of its own; its keys are watched too.
      list->view()->installEventFilter(this);
    }
  }
}

std::function<void(const QString&)> FieldEditor::UnitText(const char* key) {
  const QString name = QString::fromLatin1(key);
  return [this, name](const QString& text) { units_.insert(name, text.left(kUnitTextLength)); };
}

QString FieldEditor::Unit(const char* key) const {
  return key == nullptr ? QString() : units_.value(QString::fromLatin1(key));
}

// --- Rows -------------------------------------------------------------------

QLabel* FieldEditor::Caption(int row) const {
  return rows_[static_cast<std::size_t>(row)].caption;
}

QWidget* FieldEditor::Input(int row) const {
  return rows_[static_cast<std::size_t>(row)].input;
}

QLineEdit* FieldEditor::Edit(int row) const {
  if (row < 0 || row >= RowCount()) return nullptr;
  return qobject_cast<QLineEdit*>(Input(row));
}

QCheckBox* FieldEditor::CheckBox(int row) const {
  if (row < 0 || row >= RowCount()) return nullptr;
  return qobject_cast<QCheckBox*>(Input(row));
}

QComboBox* FieldEditor::List(int row) const {
  if (row < 0 || row >= RowCount()) return nullptr;
  return qobject_cast<QComboBox*>(Input(row));
}

QLabel* FieldEditor::UnitLabel(int row) const {
  return rows_[static_cast<std::size_t>(row)].unitLabel.data();
}

void FieldEditor::SetRange(int row, double minimum, double maximum) {
  params::EditLimits& limits = rows_[static_cast<std::size_t>(row)].limits;
  limits.minimum = minimum;
  limits.maximum = maximum;
}

QString FieldEditor::Hint(int row) const {
  return rows_[static_cast<std::size_t>(row)].hint;
}

void FieldEditor::SetRowShown(int row, bool shown) {
  Caption(row)->setVisible(shown);
  Input(row)->setVisible(shown);
  if (QLabel* unit = UnitLabel(row)) unit->setVisible(shown);
}

double FieldEditor::StoredValue(int row) const {
  const FieldRow& field = Row(row);
  const int parameter = params::Number(field.parameter);
  if (field.element >= 0) return static_cast<double>(store_.GetElement(parameter, field.element));
  return static_cast<double>(store_.GetValue(parameter));
}

void FieldEditor::SetEditValue(int row, double value) {
  if (QLineEdit* edit = Edit(row)) edit->setText(fields::FormatNumber(value, fields::SystemDecimalSeparator()));
}

void FieldEditor::ShowStoredValue(int row) {
  double value = StoredValue(row);
  if (QComboBox* list = List(row)) {
    list->setCurrentIndex(static_cast<int>(value));
    return;
  }
  if (Limits(row).step != 0) value = fields::RoundToStep(value, Limits(row).step);
  SetEditValue(row, value);
}

int FieldEditor::ActivePage() const {
  return pageControl_ != nullptr ? pageControl_->currentIndex() : 0;
}

bool FieldEditor::PageTabVisible(int page) const {
  return pageControl_ == nullptr || page < 0 || pageControl_->isTabVisible(page);
}

bool FieldEditor::Navigable(int row) const {
  const QWidget* input = Input(row);
  return input->isEnabled() && !input->isHidden() &&
         PageTabVisible(rows_[static_cast<std::size_t>(row)].page);
}

int FieldEditor::RowOf(const QObject* object) const {
  for (int r = 0; r < RowCount(); ++r)
    if (rows_[static_cast<std::size_t>(r)].input == object) return r;
  return -1;
}

// --- Show time ----------------------------------------------------------------

void FieldEditor::PopulateFields() {
  if (options_.populateBackwards) {
    for (int r = RowCount() - 1; r >= 0; --r) PopulateRow(r);
  } else {
    for (int r = 0; r < RowCount(); ++r) PopulateRow(r);
  }
}

void FieldEditor::PopulateRow(int row) {
  RowState& state = rows_[static_cast<std::size_t>(row)];
  if (state.field.kind != FieldKind::CheckBox) ShowStoredValue(row);
  if (state.field.kind == FieldKind::Edit) {
    const QChar separator = fields::SystemDecimalSeparator();
    state.hint = fields::HintText(state.limits.minimum, state.limits.maximum,
                                  Unit(state.limits.unitKey), separator);
    const bool wanted =
        options_.unitLabelWhenEnabled ? state.input->isEnabled() : !state.input->isHidden();
    if (state.limits.unitKey != nullptr && wanted) MakeUnitLabel(row);
  }
  RunHandler(row, HandlerPhase::ShowStored);
}
