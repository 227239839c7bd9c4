#include "ParameterCaptions.h"

#include <utility>

#include "ModuloLingua.h"
#include "ParameterNames.h"
#include "Parameters.h"
#include "WindowTexts.h"

namespace {

using params::Id;

// The label each parameter has in the vehicle, optional, software, emulation,
// level sensor, fuel gauge and diagnosis windows, with its longest length.
constexpr std::pair<params::Id, const char*> kLabels[] = {
    {Id::IgnitionType, "LabelCilindri"},
    {Id::RpmSignalType, "LabelRpm"},
    {Id::ChangeOverType, "LabelCambio"},
    {Id::ChangeOverRpm, "LabelGiriCambio"},
    {Id::FuelOverlapTime, "LabelSovrappos"},
    {Id::LevelSensorType, "LabelSensore"},
    {Id::TpsType, "LabelTps"},
    {Id::LambdaProbeType, "LabelLambda"},
    {Id::LambdaReadDelay, "LabelRitardoLambda"},
    {Id::YellowWiresUse, "LabelGialli"},
    {Id::ChangeOverMinimumTemperature, "LabelTempCambio"},
    {Id::OverRevThreshold, "LabelFuoriGiri"},
    {Id::ReturnToPetrolLevel, "LabelLivRientro"},
    {Id::FixedDefaultOption, "LabelDefFisso"},
    {Id::ActuatorDefaultPosition, "LabelPosDefault"},
    {Id::IdleOpeningStepsBeyond, "LabelMaxApMin"},
    {Id::IdleClosingStepsBelow, "LabelMinApMin"},
    {Id::OffIdleOpeningStepsBeyond, "LabelMaxApFMin"},
    {Id::OffIdleClosingStepsBelow, "LabelMinApFMin"},
    {Id::ActuatorAtFullThrottle, "LabelPosAffondata"},
    {Id::FullThrottleTps, "LabelTpsAffondata"},
    {Id::MonoBoschHysteresis, "LabelIstBosch"},
    {Id::IdleTpsHysteresis, "LabelIstMin"},
    {Id::CutOffEndRpm, "LabelGiriCutOff"},
    {Id::ActuatorInCutOff, "LabelPosCutOff"},
    {Id::IdleOpeningStepTime, "LabelVelApMin"},
    {Id::IdleClosingStepTime, "LabelVelChMin"},
    {Id::CruiseOpeningStepTime, "LabelVelApertura"},
    {Id::CruiseClosingStepTime, "LabelVelChiusura"},
    {Id::StepsToEnrichAtFirstLean, "LabelIngrassaMagro"},
    {Id::StepsToLeanAtFirstRich, "LabelSmagrimentoGrasso"},
    {Id::PowerStartRpm, "LabelGiriPotenza"},
    {Id::EmulationHighTime, "LabelTempoAlto"},
    {Id::EmulationLowTime, "LabelTempoBasso"},
    {Id::EmulationTristateTime, "LabelTempoTristate"},
    {Id::EmulationWaveCount, "LabelNOnde"},
    {Id::LevelSensorCalibration, "FinestraSensore"},
    {Id::IndicatorOutputs, "FinestraIndicatore"},
    {Id::DiagnosisEnableMask, "LabelAbilDiagnosi"},
    {Id::DiagnosisErrorFlags, "LabelStatoDiagnosi"},
};
constexpr int kCaptionLength = 70;

}  // namespace

QHash<int, QString> LoadParameterCaptions(TModuloLingua* language) {
  QHash<int, QString> captions;
  if (language == nullptr) return captions;
  QList<WindowText> texts;
  for (const auto& [parameter, key] : kLabels) {
    const int id = params::Number(parameter);
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
