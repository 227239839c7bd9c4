#include "FormConfSw.h"

#include <QLabel>
#include <QPushButton>
#include <QTabWidget>

#include "ApplicationInfo.h"
#include "ConfSwFields.h"
#include "ConfigWindowParts.h"
#include "DictionaryProblem.h"
#include "FormContext.h"
#include "MessageBoxes.h"
#include "ModuloLingua.h"
#include "NamedWidgets.h"
#include "Scaling.h"
#include "WindowTexts.h"

namespace {

using namespace config_parts;

const char* const kPageCaptions[] = {"Configurazione minimo", "Configurazione crociera",
                                     "Configurazione max potenza"};

// Top of each row's edit on its page, and the design caption (rows 0-5 have
// none: the dictionary gives them at show time).
struct RowPlace {
  int top;
  const char* caption;
};
constexpr RowPlace kPlaces[] = {
    {48, ""},  {88, ""},  {56, ""}, {96, ""}, {136, ""}, {176, ""},
    {104, "Valore Tps per inizio potenza"},
    {152, "Riferimento giri per inizio potenza"},
};
static_assert(std::size(kPlaces) == std::size(kConfSwRows));

// Dictionary keys of the captions of rows 0-5.
const char* const kRowTextKeys[] = {"LabelVelApMin",    "LabelVelChMin",
                                    "LabelVelApertura", "LabelVelChiusura",
                                    "LabelIngrassaMagro", "LabelSmagrimentoGrasso"};

}  // namespace

TFormConfSw::TFormConfSw(const FormContext& context, QWidget* parent)
    : PagedConfigWindow(context, parent) {
  setObjectName(QStringLiteral("FormConfSw"));
  SetUpWindow(this, QStringLiteral("Configurazioni Software avanzate"), 808, 581);
  BuildControls();
  FieldEditorOptions options;
  options.populateBackwards = true;
  options.unitLabelWhenEnabled = true;
  MakeEditor(kConfSwRows, kConfSwPages, options);
  LoadTexts(context.language);
  ScaleToScreen(this);
}

void TFormConfSw::BuildControls() {
  PageControl1 = AddPages(this, QRect(24, 8, 753, 489), kConfSwPages, kPageCaptions);
  for (std::size_t r = 0; r < std::size(kConfSwRows); ++r) {
    QWidget* parent = PageControl1->widget(PageOfRow(kConfSwPages, int(r)));
    const FieldRow& row = kConfSwRows[r];
    ui::MakeLabel(parent, row.caption, QString::fromUtf8(kPlaces[r].caption))
        ->move(kCaptionLeft, kPlaces[r].top + kCaptionBelowEdit);
    AddEdit(parent, row.input, kPlaces[r].top);
  }
  AddStatusLabels(this, QRect(56, 512, 200, 20), false, 552, 504, 528);
  AddExitButton(this, QRect(332, 512, 137, 33));
}

void TFormConfSw::LoadTexts(TModuloLingua* lingua) {
  auto labelText = [this](const char* name) {
    return SetTextOf(findChild<QLabel*>(QString::fromLatin1(name)));
  };
  auto pageText = [this](int page) {
    return [this, page](const QString& text) { PageControl1->setTabText(page, text); };
  };
  QList<WindowText> texts = {
      {QStringLiteral("PageMinimo"), 30, pageText(0)},
      {QStringLiteral("PageCrociera"), 30, pageText(1)},
      {QStringLiteral("PageMaxPotenza"), 30, pageText(2)},
      {QStringLiteral("LabelTpsPotenza"), 60, labelText("LabelTpsPotenza")},
      {QStringLiteral("LabelGiriPotenza"), 60, labelText("LabelGiriPotenza")},
      {QStringLiteral("LabelLimiti"), 45, labelText("LabelLimiti")},
      {QStringLiteral("LabelGoVis"), 45, labelText("LabelGoVis")},
      {QStringLiteral("ButtonEsci"), 20, SetTextOf(findChild<QPushButton*>(QStringLiteral("ButtonEsci")))},
      {QStringLiteral("MessNoConn"), 30, labelText("LabelNonConnesso")},
      {QStringLiteral("FinestraConfSoftware"), 50, SetTitleOf(this)},
      {QStringLiteral("UnitaGiri"), 5, editor_->UnitText("UnitaGiri")},
      {QStringLiteral("UnitaVolt"), 5, editor_->UnitText("UnitaVolt")},
  };
  // The row texts come last.
  for (int i = 0; i < 6; ++i)
    texts.append({QString::fromLatin1(kRowTextKeys[i]), 50, StoreIn(&rowTexts_[i])});
  if (lingua == nullptr || !ApplyWindowTexts(*lingua, texts))
    ui::ShowDictionaryProblem(this, 4);
}

void TFormConfSw::ShowSteps() {
  for (int r = 0; r < 6; ++r) editor_->Caption(r)->setText(rowTexts_[r]);
  editor_->ShowConnectionState(context_.Connected());
  editor_->PopulateFields();
  FitLabels(this);
  FitCaptions(*editor_);
  StartOnOpenersPage();
}
