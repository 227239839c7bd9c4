#include "LinkFailureReason.h"

#include <cstring>

#include "ModuloLingua.h"

namespace {

constexpr int kReasonLength = 160;

struct ReasonKey {
  int kind;
  const char* key;
};

const ReasonKey kReasonKeys[] = {
    {ecu::kFailureNoSuchPort, "MessCausaPortaAssente"},
    {ecu::kFailurePortBusy, "MessCausaPortaOccupata"},
    {ecu::kFailureCannotOpen, "MessCausaPortaInutilizzabile"},
    {ecu::kFailureNoPermissionJoin, "MessCausaPermessoGruppo"},
    {ecu::kFailureNoPermissionSession, "MessCausaPermessoSessione"},
    {ecu::kFailureNoPermissionDevice, "MessCausaPermessoPorta"},
    {ecu::kFailureNotSerialPort, "MessCausaNonSeriale"},
    {ecu::kFailureNoAnswer, "MessCausaNessunaRisposta"},
    {ecu::kFailureGarbledAnswer, "MessCausaRisposteIlleggibili"},
    {ecu::kFailureSlowAnswer, "MessCausaRisposteLente"},
    {ecu::kFailurePortLost, "MessCausaPortaPersa"},
    {ecu::kFailureNoPortFound, "MessCausaNessunaPorta"},
    {ecu::kFailureNoEcuOnPorts, "MessCausaNessunaCentralina"},
};

const char* KeyOf(int kind) {
  for (const ReasonKey& entry : kReasonKeys)
    if (entry.kind == kind) return entry.key;
  return nullptr;
}

// Fills %1..%4 in one pass, so that a port name holding "%2" stays as it is.
QString Fill(const QString& sentence, const QStringList& values) {
  QString out;
  for (qsizetype i = 0; i < sentence.size(); ++i) {
    const QChar c = sentence.at(i);
    if (c == QLatin1Char('%') && i + 1 < sentence.size()) {
      const int place = sentence.at(i + 1).digitValue();
      if (place >= 1 && place <= values.size()) {
        out += values.at(place - 1);
        ++i;
        continue;
      }
    }
    out += c;
  }
  return out;
}

}  // namespace

QString LinkFailureReason(const LinkFailure& failure, TModuloLingua* language) {
  if (failure.kind == ecu::kFailureNone) return failure.text;
  const char* key = KeyOf(failure.kind);
  if (key == nullptr || language == nullptr || !language->IsUsable()) return failure.text;
  const std::optional<QString> sentence = language->Text(QLatin1String(key), kReasonLength);
  if (!sentence) return failure.text;
  const QString systemWords =
      failure.number != 0 ? QString::fromLocal8Bit(std::strerror(failure.number)) : QString();
  return Fill(*sentence,
              {failure.port, failure.group, QString::number(failure.number), systemWords});
}
