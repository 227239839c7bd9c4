#include "Confronta.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>

#include "ApplicationInfo.h"
#include "ConfCar.h"
#include "ConfigurationsFolder.h"
#include "FormContext.h"
#include "GlobalData.h"
#include "History.h"
#include "LoadConfiguration.h"
#include "MessageBoxes.h"
#include "ModuloLingua.h"
#include "NamedWidgets.h"
#include "ParameterCaptions.h"
#include "Scaling.h"
#include "WaitCursor.h"
#include "WindowTexts.h"

namespace {

// What a list item stands for: the ECU now, or a file (snapshot or not).
constexpr int kEcuSource = 0;
constexpr int kFileSource = 1;
constexpr int kOtherFile = 2;
constexpr int kKindRole = Qt::UserRole;
constexpr int kPathRole = Qt::UserRole + 1;

// The window's size on a screen 800 pixels wide; larger screens scale it, up
// to the room the screen has.
constexpr int kDesignWidth = 760;
constexpr int kDesignHeight = 520;
// The lists show at least this many characters of a source's name before
// the window is made wider for them.
constexpr int kSourceNameLength = 30;

// Units as the windows show numbers: the system's decimal separator, no
// thousands separator.
QString Shown(long double value) {
  if (value == kMissingValue) return QStringLiteral("-");
  QLocale locale;
  locale.setNumberOptions(QLocale::OmitGroupSeparator);
  return locale.toString(static_cast<double>(value), 'g', 15);
}

}  // namespace

TFormConfronta::TFormConfronta(const FormContext& context, const QString& historyFolder,
                               QWidget* parent)
    : QDialog(parent), context_(context), historyFolder_(historyFolder) {
  setObjectName(QStringLiteral("FormConfronta"));
  setWindowTitle(QStringLiteral("Confronta configurazioni"));
  BuildControls();
  LoadTexts(context.language);
  BuildSources();

  connect(ComboBoxA, &QComboBox::activated, this, [this] { SourceChosen(ComboBoxA); });
  connect(ComboBoxB, &QComboBox::activated, this, [this] { SourceChosen(ComboBoxB); });
  connect(CheckTutti, &QCheckBox::toggled, this, &TFormConfronta::Refresh);
  connect(ButtonEsporta, &QPushButton::clicked, this, &TFormConfronta::Esporta);
  connect(ButtonRipristina, &QPushButton::clicked, this, &TFormConfronta::Ripristina);
  connect(ButtonEsci, &QPushButton::clicked, this, &QDialog::reject);

  Refresh();
  FitToScreen();
}

void TFormConfronta::BuildControls() {
  // The two sources, each with its caption.
  auto* sources = new QGridLayout;
  const char* const captionNames[] = {"LabelConfrontaA", "LabelConfrontaB"};
  const char* const captions[] = {"Configurazione A", "Configurazione B"};
  QComboBox** combos[] = {&ComboBoxA, &ComboBoxB};
  const char* const comboNames[] = {"ComboBoxA", "ComboBoxB"};
  for (int i = 0; i < 2; ++i) {
    QLabel* label = ui::MakeLabel(this, captionNames[i], QString::fromLatin1(captions[i]));
    auto* combo = new QComboBox(this);
    combo->setObjectName(QLatin1String(comboNames[i]));
    // A long file name must not make the window wider than the screen.
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combo->setMinimumContentsLength(kSourceNameLength);
    label->setBuddy(combo);
    sources->addWidget(label, i, 0);
    sources->addWidget(combo, i, 1);
    *combos[i] = combo;
  }
  sources->setColumnStretch(1, 1);

  CheckTutti = new QCheckBox(QStringLiteral("Mostra tutti i parametri"), this);
  CheckTutti->setObjectName(QStringLiteral("CheckTutti"));
  LabelRisultato = ui::MakeLabel(this, "LabelRisultato", QString());
  LabelRisultato->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  // A file that is no configuration is named under the message: the text
  // wraps instead of widening the window.
  LabelRisultato->setWordWrap(true);
  LabelRisultato->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
  auto* options = new QHBoxLayout;
  options->addWidget(CheckTutti);
  options->addWidget(LabelRisultato, 1);

  TabellaConfronto = new QTableWidget(0, 4, this);
  TabellaConfronto->setObjectName(QStringLiteral("TabellaConfronto"));
  TabellaConfronto->setEditTriggers(QAbstractItemView::NoEditTriggers);
  TabellaConfronto->setSelectionBehavior(QAbstractItemView::SelectRows);
  TabellaConfronto->verticalHeader()->hide();
  // The values keep their width; the captions take the rest, cut when they
  // must be (the whole caption is the cell's tooltip).
  TabellaConfronto->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
  for (int c = 1; c < 4; ++c)
    TabellaConfronto->horizontalHeader()->setSectionResizeMode(c, QHeaderView::ResizeToContents);
  TabellaConfronto->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

  ButtonEsporta = ui::MakeButton(this, "ButtonEsporta", QStringLiteral("Esporta &CSV..."));
  ButtonRipristina =
      ui::MakeButton(this, "ButtonRipristina", QStringLiteral("&Ripristina A nella centralina"));
  ButtonEsci = ui::MakeButton(this, "ButtonEsci", QStringLiteral("&Esci"));
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(ButtonEsporta);
  buttons->addWidget(ButtonRipristina);
  buttons->addStretch(1);
  buttons->addWidget(ButtonEsci);

  auto* window = new QVBoxLayout(this);
  window->addLayout(sources);
  window->addLayout(options);
  window->addWidget(TabellaConfronto, 1);
  window->addLayout(buttons);
}

void TFormConfronta::FitToScreen() {
  // Fonts grow with the screen as in every window; the layout does the rest.
  const double factor = ScreenScaleFactor();
  if (factor != 1.0) ScaleWidgetTree(this, factor);
  // Rows as tall as the scaled font needs.
  TabellaConfronto->verticalHeader()->setDefaultSectionSize(
      TabellaConfronto->fontMetrics().height() * 3 / 2);
  // A caption in its button with room on both sides, in every language.
  for (QPushButton* button : {ButtonEsporta, ButtonRipristina, ButtonEsci}) {
    button->setMinimumWidth(button->sizeHint().width() +
                            2 * button->style()->pixelMetric(QStyle::PM_ButtonMargin));
  }
  const QSize wanted(static_cast<int>(kDesignWidth * factor),
                     static_cast<int>(kDesignHeight * factor));
  // Never larger than the screen, never smaller than what shows everything.
  const QSize room(ScreenWidth() * 9 / 10, ScreenHeight() * 9 / 10);
  resize(wanted.boundedTo(room).expandedTo(minimumSizeHint()));
}

void TFormConfronta::LoadTexts(TModuloLingua* language) {
  captions_ = LoadParameterCaptions(language);
  if (language == nullptr) return;
  auto* labelA = findChild<QLabel*>(QStringLiteral("LabelConfrontaA"));
  auto* labelB = findChild<QLabel*>(QStringLiteral("LabelConfrontaB"));
  const QList<WindowText> texts = {
      {QStringLiteral("FinestraConfronta"), 70, SetTitleOf(this)},
      {QStringLiteral("LabelConfrontaA"), 20, SetTextOf(labelA)},
      {QStringLiteral("LabelConfrontaB"), 20, SetTextOf(labelB)},
      {QStringLiteral("CheckTutti"), 40, SetTextOf(CheckTutti)},
      {QStringLiteral("ButtonEsporta"), 30, SetTextOf(ButtonEsporta)},
      {QStringLiteral("ButtonRipristina"), 35, SetTextOf(ButtonRipristina)},
      {QStringLiteral("ButtonEsci"), 20, SetTextOf(ButtonEsci)},
      {QStringLiteral("ColParametro"), 30, StoreIn(&parameterColumn_)},
      {QStringLiteral("ColFabbrica"), 30, StoreIn(&factoryColumn_)},
      {QStringLiteral("MantenutoCentralina"), 30, StoreIn(&keptByEcu_)},
      {QStringLiteral("ColIdentificativo"), 30, StoreIn(&identifierColumn_)},
      {QStringLiteral("ColElemento"), 30, StoreIn(&elementColumn_)},
      {QStringLiteral("ColDiverso"), 30, StoreIn(&differsColumn_)},
      {QStringLiteral("ValoreSi"), 10, StoreIn(&yes_)},
      {QStringLiteral("ValoreNo"), 10, StoreIn(&no_)},
      {QStringLiteral("SorgenteCentralina"), 40, StoreIn(&ecuNow_)},
      {QStringLiteral("SorgenteIstantanea"), 40, StoreIn(&snapshot_)},
      {QStringLiteral("SorgenteAltroFile"), 40, StoreIn(&otherFile_)},
      {QStringLiteral("MessDifferenze"), 50, StoreIn(&differing_)},
      {QStringLiteral("MessNessunaDiff"), 50, StoreIn(&noDifferences_)},
      {QStringLiteral("MessFileNonValido"), 70, StoreIn(&notAFile_)},
      {QStringLiteral("MessValoriMancanti"), 70, StoreIn(&missing_)},
      {QStringLiteral("MessRipristino"), 70, StoreIn(&willChange_)},
      {QStringLiteral("MessScrivere"), 50, StoreIn(&writeNow_)},
      {QStringLiteral("MessRipristinoOk"), 70, StoreIn(&restored_)},
      {QStringLiteral("MessRifiutati"), 70, StoreIn(&refused_)},
      {QStringLiteral("MessNienteRipristino"), 70, StoreIn(&nothingToDo_)},
      {QStringLiteral("MessErrSalvaFile"), 70, StoreIn(&exportFailed_)},
  };
  // A dictionary without these texts leaves the Italian ones: the window
  // works all the same.
  ApplyWindowTexts(*language, texts);
}

void TFormConfronta::BuildSources() {
  QList<QPair<QString, QString>> files;  // item text, path
  // Snapshots, newest first, then the configuration files.
  const auto listing = history::ListSnapshots(QFile::encodeName(historyFolder_).toStdString());
  for (auto it = listing.snapshots.rbegin(); it != listing.snapshots.rend(); ++it) {
    files.append({snapshot_ + QStringLiteral(" ") + QString::fromStdString(it->ecu) +
                      QStringLiteral(" ") + QString::fromStdString(it->taken),
                  QFile::decodeName(QByteArray::fromStdString(it->file.string()))});
  }
  QString preferred;
  if (context_.settings != nullptr)
    context_.settings->GetPath(GlobalData::kConfigurationsFolder, preferred);
  configurationsFolder_ = UsableConfigurationsFolder(preferred);
  if (!configurationsFolder_.isEmpty()) {
    const QDir dir(configurationsFolder_);
    for (const QString& name : dir.entryList({QStringLiteral("*.dmr")}, QDir::Files, QDir::Name))
      files.append({name, dir.filePath(name)});
  }
  for (QComboBox* combo : {ComboBoxA, ComboBoxB}) {
    combo->addItem(ecuNow_);
    combo->setItemData(0, kEcuSource, kKindRole);
    for (const auto& [text, path] : files) {
      combo->addItem(text);
      combo->setItemData(combo->count() - 1, kFileSource, kKindRole);
      combo->setItemData(combo->count() - 1, path, kPathRole);
    }
    combo->addItem(otherFile_);
    combo->setItemData(combo->count() - 1, kOtherFile, kKindRole);
  }
  // What changed since the newest snapshot, by default.
  if (!listing.snapshots.empty()) ComboBoxA->setCurrentIndex(1);
  ComboBoxB->setCurrentIndex(0);
}

bool TFormConfronta::ChooseA(const QString& itemText) {
  const int index = ComboBoxA->findText(itemText);
  if (index < 0) return false;
  ComboBoxA->setCurrentIndex(index);
  Refresh();
  return true;
}

bool TFormConfronta::ChooseB(const QString& itemText) {
  const int index = ComboBoxB->findText(itemText);
  if (index < 0) return false;
  ComboBoxB->setCurrentIndex(index);
  Refresh();
  return true;
}

QString TFormConfronta::AddFile(const QString& path) {
  const QString text = QDir::toNativeSeparators(path);
  for (QComboBox* combo : {ComboBoxA, ComboBoxB}) {
    if (combo->findText(text) >= 0) continue;
    const int at = combo->count() - 1;  // before "other file"
    combo->insertItem(at, text);
    combo->setItemData(at, kFileSource, kKindRole);
    combo->setItemData(at, path, kPathRole);
  }
  return text;
}

void TFormConfronta::SourceChosen(QComboBox* combo) {
  if (combo->currentData(kKindRole).toInt() == kOtherFile) {
    const QString path = QFileDialog::getOpenFileName(this, windowTitle(), configurationsFolder_,
                                                      QStringLiteral("*.dmr *.vst;;*"), nullptr,
                                                      QFileDialog::DontUseNativeDialog);
    if (path.isEmpty()) {
      combo->setCurrentIndex(0);
    } else {
      combo->setCurrentIndex(combo->findText(AddFile(path)));
    }
  }
  Refresh();
}

bool TFormConfronta::SourceOf(const QComboBox* combo, Configuration* c, QString* problem) const {
  if (combo->currentData(kKindRole).toInt() != kFileSource) {
    *c = ConfigurationOf(*context_.store);
    return true;
  }
  const QString path = combo->currentData(kPathRole).toString();
  *c = ReadConfiguration(QFile::encodeName(path).toStdString());
  if (!c->opened || !c->header) {
    *problem = notAFile_ + QStringLiteral("\n") + QDir::toNativeSeparators(path);
    return false;
  }
  if (c->absent > 0) *problem = missing_ + QStringLiteral(" ") + QString::number(c->absent);
  return true;
}

void TFormConfronta::Refresh() {
  Configuration a, b;
  QString problemA, problemB;
  const bool readA = SourceOf(ComboBoxA, &a, &problemA);
  const bool readB = SourceOf(ComboBoxB, &b, &problemB);
  nameA_ = ComboBoxA->currentText();
  nameB_ = ComboBoxB->currentText();
  rows_.clear();
  if (readA && readB) rows_ = CompareConfigurations(a, b, CheckTutti->isChecked());

  TabellaConfronto->setHorizontalHeaderLabels(
      {parameterColumn_, QStringLiteral("A"), QStringLiteral("B"), factoryColumn_});
  TabellaConfronto->setRowCount(static_cast<int>(rows_.size()));
  int differing = 0;
  for (int r = 0; r < static_cast<int>(rows_.size()); ++r) {
    const CompareRow& row = rows_[static_cast<std::size_t>(r)];
    // What the ECU keeps by itself comes last, greyed and said so.
    QString caption = ParameterCaption(captions_, row.identifier, row.element);
    if (row.keptByEcu) caption += QStringLiteral(" (") + keptByEcu_ + QStringLiteral(")");
    const QString cells[] = {caption, Shown(row.valueA), Shown(row.valueB), Shown(row.factory)};
    for (int c = 0; c < 4; ++c) {
      auto* item = new QTableWidgetItem(cells[c]);
      if (c > 0) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      if (c == 0) item->setToolTip(cells[0]);  // a narrow window cuts the caption
      QFont font = item->font();
      font.setBold(row.differs);
      font.setItalic(row.keptByEcu);
      item->setFont(font);
      if (row.keptByEcu) {
        item->setForeground(palette().brush(QPalette::Disabled, QPalette::Text));
        item->setToolTip(caption);
      }
      TabellaConfronto->setItem(r, c, item);
    }
    if (row.differs) ++differing;
  }
  QString result = differing == 0 ? noDifferences_
                                  : differing_ + QStringLiteral(" ") + QString::number(differing);
  for (const QString& problem : {problemA, problemB})
    if (!problem.isEmpty()) result = problem;
  LabelRisultato->setText(result);
  LabelRisultato->setToolTip(result);
  // Writing A back needs a file as A and the ECU on the line.
  ButtonRipristina->setEnabled(readA && ComboBoxA->currentData(kKindRole).toInt() == kFileSource &&
                               context_.Connected());
  ButtonEsporta->setEnabled(!rows_.empty());
}

bool TFormConfronta::ExportCsv(const QString& path) const {
  std::vector<std::string> captions;
  for (const CompareRow& row : rows_)
    captions.push_back(ParameterCaption(captions_, row.identifier, row.element).toStdString());
  CsvWords words;
  words.identifier = identifierColumn_.toStdString();
  words.element = elementColumn_.toStdString();
  words.parameter = parameterColumn_.toStdString();
  words.factory = factoryColumn_.toStdString();
  words.differs = differsColumn_.toStdString();
  words.yes = yes_.toStdString();
  words.no = no_.toStdString();
  words.keptByEcu = keptByEcu_.toStdString();
  const std::string text =
      CompareCsv(rows_, captions, nameA_.toStdString(), nameB_.toStdString(), words);
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
  return file.write(text.data(), static_cast<qint64>(text.size())) ==
             static_cast<qint64>(text.size()) &&
         file.flush();
}

void TFormConfronta::Esporta() {
  QFileDialog dialog(this, windowTitle(), configurationsFolder_, QStringLiteral("*.csv"));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  // A name typed without an extension gets the table's own (and the
  // question before replacing a file asks about that name).
  dialog.setDefaultSuffix(QStringLiteral("csv"));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  const QString path = dialog.selectedFiles().first();
  if (!ExportCsv(path))
    MessageBoxes::ShowError(
        this, exportFailed_ + QStringLiteral("\n") + QDir::toNativeSeparators(path), windowTitle());
}

void TFormConfronta::Ripristina() {
  Configuration target;
  QString problem;
  if (!SourceOf(ComboBoxA, &target, &problem) || !context_.Connected()) return;
  const auto plan = RestorePlan(*context_.store, target);
  if (plan.empty()) {
    MessageBoxes::ShowInformation(this, nothingToDo_, windowTitle());
    return;
  }
  if (!MessageBoxes::AskYesNo(this,
                              willChange_ + QStringLiteral(" ") + QString::number(plan.size()) +
                                  QStringLiteral("\n\n") + writeNow_,
                              windowTitle()))
    return;
  RestoreOutcome outcome;
  {
    WaitCursor wait;
    outcome =
        Restore(*context_.store, target,
                QFile::encodeName(ComboBoxA->currentData(kPathRole).toString()).toStdString());
  }
  Refresh();
  if (outcome.refused.empty() && !outcome.linkLost) {
    MessageBoxes::ShowInformation(this, restored_, windowTitle());
    return;
  }
  QStringList names;
  for (const RestoreStep& step : outcome.refused)
    names.append(ParameterCaption(captions_, step.identifier, step.element));
  MessageBoxes::ShowError(this, refused_ + QStringLiteral("\n") + names.join(QStringLiteral("\n")),
                          windowTitle());
}
