#include "ParameterCaptions.h"

#include <utility>

#include "ModuloLingua.h"
#include "ParameterNames.h"
#include "WindowTexts.h"

namespace {

// The label each parameter has in the vehicle, optional, software, emulation,
// level sensor, fuel gauge and diagnosis windows, with its longest length.
constexpr std::pair<int, const char*> kLabels[] = {
    {2, "LabelCilindri"},
    {64, "LabelRpm"},
    {63, "LabelCambio"},
    {56, "LabelGiriCambio"},
    {54, "LabelSovrappos"},
    {59, "LabelSensore"},
    {3, "LabelTps"},
    {4, "LabelLambda"},
    {51, "LabelRitardoLambda"},
    {65, "LabelGialli"},
    {58, "LabelTempCambio"},
    {62, "LabelFuoriGiri"},
    {66, "LabelLivRientro"},
    {67, "LabelDefFisso"},
    {40, "LabelPosDefault"},
    {31, "LabelMaxApMin"},
    {32, "LabelMinApMin"},
    {33, "LabelMaxApFMin"},
    {34, "LabelMinApFMin"},
    {39, "LabelPosAffondata"},
    {38, "LabelTpsAffondata"},
    {23, "LabelIstBosch"},
    {24, "LabelIstMin"},
    {41, "LabelGiriCutOff"},
    {42, "LabelPosCutOff"},
    {9, "LabelVelApMin"},
    {10, "LabelVelChMin"},
    {12, "LabelVelApertura"},
    {13, "LabelVelChiusura"},
    {45, "LabelIngrassaMagro"},
    {44, "LabelSmagrimentoGrasso"},
    {48, "LabelGiriPotenza"},
    {5, "LabelTempoAlto"},
    {6, "LabelTempoBasso"},
    {7, "LabelTempoTristate"},
    {8, "LabelNOnde"},
    {60, "FinestraSensore"},
    {61, "FinestraIndicatore"},
    {52, "LabelAbilDiagnosi"},
    {53, "LabelStatoDiagnosi"},
};
constexpr int kCaptionLength = 70;

}  // namespace

QHash<int, QString> LoadParameterCaptions(TModuloLingua* language) {
  QHash<int, QString> captions;
  if (language == nullptr) return captions;
  QList<WindowText> texts;
  for (const auto& [identifier, key] : kLabels) {
    const int id = identifier;
    texts.append({QLatin1String(key), kCaptionLength,
                  [&captions, id](const QString& text) { captions.insert(id, text); }});
  }
  ApplyWindowTexts(*language, texts);
  return captions;
}

QString ParameterCaption(const QHash<int, QString>& captions, int identifier, int element) {
  const auto found = captions.find(identifier);
  if (found == captions.end()) return QString::fromStdString(ParameterName(identifier, element));
  QString caption = TModuloLingua::TextWithoutAccelerator(*found);
  if (element >= 0) caption += QStringLiteral(" [%1]").arg(element);
  return caption;
}
