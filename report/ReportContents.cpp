#include "ReportContents.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDate>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QTabWidget>
#include <QTimer>
#include <array>

#include "ConfCar.h"
#include "ConfOptFields.h"
#include "ConfSwFields.h"
#include "Diagnosi.h"
#include "FieldEditor.h"
#include "FormConfOpt.h"
#include "FormConfSw.h"
#include "FormEmulazione.h"
#include "FormSensore.h"
#include "FormVettura.h"
#include "History.h"
#include "LatestCheck.h"
#include "ModuloLingua.h"
#include "ParameterCaptions.h"
#include "QtStandardTexts.h"
#include "ReportDocument.h"
#include "VehicleHandlers.h"
#include "WindowTexts.h"
#include "Workshop.h"
#include "WriteJournal.h"

namespace {

constexpr int kBuiltWavePosition = 3;

// Runs the window's show steps (which fill its fields from the store)
// without putting it on the screen.
void ShowOffScreen(QWidget& window) {
  window.setAttribute(Qt::WA_DontShowOnScreen);
  window.show();
  window.hide();
}

QString Shown(const QLabel* label) {
  return label != nullptr && !label->isHidden() ? label->text().trimmed() : QString();
}

QString WithoutAccelerator(QString text) {
  return text.remove(QLatin1Char('&'));
}

// The rows of editor from first up to (not including) end, as the window
// shows them: hidden rows are left out.
QList<ReportRow> RowsOf(const FieldEditor& editor, int first, int end, const ReportTexts& texts) {
  QList<ReportRow> rows;
  for (int r = first; r < end; ++r) {
    const QLabel* caption = editor.Caption(r);
    const QWidget* input = editor.Input(r);
    if (caption == nullptr || input == nullptr || caption->isHidden() || input->isHidden())
      continue;
    ReportRow row;
    row.caption = WithoutAccelerator(caption->text()).trimmed();
    if (const QLineEdit* edit = editor.Edit(r)) {
      row.value = edit->text();
      row.unit = Shown(editor.UnitLabel(r));
    } else if (const QComboBox* list = editor.List(r)) {
      row.value = list->currentText();
    } else if (const QCheckBox* check = editor.CheckBox(r)) {
      row.value = check->isChecked() ? texts.yes : texts.no;
    }
    rows.append(row);
  }
  return rows;
}

void AddPagedWindow(PagedConfigWindow& window, FieldPages pages, const ReportTexts& texts,
                    QList<ReportGroup>* groups) {
  ShowOffScreen(window);
  FieldEditor& editor = window.Editor();
  for (std::size_t p = 0; p < pages.size(); ++p) {
    const int end = p + 1 < pages.size() ? pages[p + 1].firstRow : editor.RowCount();
    ReportGroup group;
    group.title = WithoutAccelerator(window.PageControl1->tabText(static_cast<int>(p)));
    group.rows = RowsOf(editor, pages[p].firstRow, end, texts);
    if (!group.rows.isEmpty()) groups->append(group);
  }
}

ReportRow LabelledEdit(const QLabel* caption, const QLineEdit* edit, const QLabel* unit) {
  return {WithoutAccelerator(caption->text()).trimmed(), edit->text(), Shown(unit)};
}

// A value of the journal in the report's language: its decimal separator,
// and no more than two decimals (a converted value such as a temperature is
// kept in the journal with all of its digits).
QString LocalNumber(const std::string& text, QLocale locale) {
  bool ok = false;
  const double value = QString::fromStdString(text).toDouble(&ok);
  if (!ok) return QString::fromStdString(text);
  locale.setNumberOptions(QLocale::OmitGroupSeparator);
  QString shown = locale.toString(value, 'f', 2);
  const QString point = locale.decimalPoint();
  while (shown.endsWith(QLatin1Char('0'))) shown.chop(1);
  if (shown.endsWith(point)) shown.chop(point.size());
  return shown;
}

// Dates and numbers as the report's language writes them.
QLocale ReportLocale(const TModuloLingua* language) {
  const QString name =
      language != nullptr ? QtStandardTexts::LocaleOfColumn(language->SelectedColumn()) : QString();
  return QLocale(name.isEmpty() ? QStringLiteral("it") : name);
}

}  // namespace

namespace ReportContents {

ReportTexts Texts(TModuloLingua* language) {
  if (language == nullptr || !language->IsUsable()) return ReportTexts{};
  const bool wasActive = language->IsActive();
  if (!wasActive && !language->Activate()) return ReportTexts{};
  ReportTexts texts = LoadReportTexts(
      [language](const QString& key) { return language->Text(key, 200); });
  if (!wasActive) language->Deactivate();
  return texts;
}

QList<ReportGroup> Configuration(const FormContext& context) {
  QList<ReportGroup> groups;
  if (context.store == nullptr) return groups;
  const ReportTexts texts = Texts(context.language);
  ConfCar& store = *context.store;
  {
    TFormVettura window(context);
    ShowOffScreen(window);
    ReportGroup group{window.windowTitle(), RowsOf(window.Editor(), 0, window.Editor().RowCount(), texts)};
    groups.append(group);
  }
  // The built wave's times, as its window shows them, when it is the chosen
  // emulation.
  const config::EmulationValues wave = config::StoredEmulation(store);
  if (config::EmulationPositionOf(wave) == kBuiltWavePosition) {
    TFormEmulazione window(context.language, wave.high, wave.low, wave.triState, wave.waves);
    groups.append({window.windowTitle(),
                   {LabelledEdit(window.LabelTempoAlto, window.EditAlto, window.LabelMs1),
                    LabelledEdit(window.LabelTempoBasso, window.EditBasso, window.LabelMs2),
                    LabelledEdit(window.LabelTempoTristate, window.EditTristate, window.LabelS),
                    LabelledEdit(window.LabelNOnde, window.EditOnde, nullptr)}});
  }
  {
    std::array<int, TFormSensore::kThresholds> thresholds{};
    store.ReadArray(params::Id::LevelSensorCalibration, thresholds.data());
    TFormSensore window(context.language, nullptr);
    window.SetThresholds(thresholds);
    const QLabel* captions[] = {window.LabelLivVuoto, window.LabelLivRiserva, window.LabelLiv1_4,
                                window.LabelLiv2_4,   window.LabelLiv3_4,     window.LabelLivPieno};
    ReportGroup group{window.windowTitle(), {}};
    const QLineEdit* edits[] = {window.Edit1, window.Edit2, window.Edit3,
                                window.Edit4, window.Edit5, window.Edit6};
    for (std::size_t i = 0; i < std::size(edits); ++i)
      group.rows.append(LabelledEdit(captions[i], edits[i], nullptr));
    groups.append(group);
  }
  {
    TFormConfOpt window(context);
    AddPagedWindow(window, kConfOptPages, texts, &groups);
  }
  {
    TFormConfSw window(context);
    AddPagedWindow(window, kConfSwPages, texts, &groups);
  }
  return groups;
}

QString Diagnosis(const FormContext& context) {
  if (context.store == nullptr || context.identification.variant == 2) return {};
  TFormDiagnosi window(context);
  ShowOffScreen(window);
  window.Timer1->stop();
  const ReportTexts texts = Texts(context.language);
  QStringList lines;
  const QCheckBox* checks[] = {window.CheckBox1, window.CheckBox2, window.CheckBox3};
  const QLabel* descriptions[] = {window.LabelDLambdaGiusto, window.LabelDLambdaMagro,
                                  window.LabelDLambdaRicco};
  const QLabel* states[] = {window.LabelStato1, window.LabelStato2, window.LabelStato3};
  for (int i = 0; i < 3; ++i) {
    lines << descriptions[i]->text() + QStringLiteral(": ") +
                 (checks[i]->isChecked() ? states[i]->text() : texts.off);
  }
  return lines.join(QLatin1Char('\n'));
}

QList<ReportChange> Changes(const std::filesystem::path& journal, const QString& since,
                            TModuloLingua* language) {
  QList<ReportChange> changes;
  const QLocale locale = ReportLocale(language);
  const QHash<int, QString> captions = LoadParameterCaptions(language);
  for (const JournalLine& line : ReadJournal(journal, since.toStdString()).lines) {
    // A run's opening line and the vehicle card's own lines change no value.
    if (line.identifier < 0) continue;
    ReportChange change;
    change.time = QString::fromStdString(line.time);
    change.caption = ParameterCaption(captions, line.identifier, line.element);
    change.oldValue = LocalNumber(line.oldValue, locale);
    change.newValue = LocalNumber(line.newValue, locale);
    if (!line.note.empty() && line.newValue.empty()) change.newValue = QString::fromStdString(line.note);
    change.refused = line.answer != "accepted";
    changes.append(change);
  }
  return changes;
}

ReportData Collect(const FormContext& context, const Session& session, const QString& since) {
  ReportData data;
  data.texts = Texts(context.language);
  data.workshop = LoadWorkshop();
  if (!session.vehicleKey.empty()) {
    if (const auto card = vehicle::FindCard(session.historyFolder, context.identification,
                                            session.vehicleKey))
      data.card = card->card;
  }
  const ecu::Identification& id = context.identification;
  data.identification = QStringLiteral("%1-%2-%3-%4")
                            .arg(id.typeCode)
                            .arg(id.variant)
                            .arg(id.featureFlags)
                            .arg(id.version);
  data.programVersion = QCoreApplication::applicationVersion();
  data.date = ReportLocale(context.language).toString(QDate::currentDate(), QLocale::ShortFormat);
  data.changesSince = since;
  data.configuration = Configuration(context);
  if (!session.historyFolder.empty()) {
    const std::filesystem::path folder =
        vehicle::CarFolder(session.historyFolder, id, session.vehicleKey);
    data.changes = Changes(folder / "journal.csv", since, context.language);
  }
  data.diagnosis = Diagnosis(context);
  if (!session.historyFolder.empty()) {
    TModuloLingua* language = context.language;
    const bool usable = language != nullptr && language->IsUsable();
    const bool wasActive = usable && language->IsActive();
    const bool active = usable && (wasActive || language->Activate());
    data.check = LatestCheck(
        LogsFolder(session.historyFolder, id, session.vehicleKey),
        [&](const QString& key) -> std::optional<QString> {
          return active ? language->Text(key, 200) : std::nullopt;
        },
        ReportLocale(language));
    if (active && !wasActive) language->Deactivate();
  }
  return data;
}

}  // namespace ReportContents
