#include "CheckCommand.h"

#include <cmath>
#include <iomanip>
#include <sstream>

#include "Companion.h"
#include "ConfCar.h"
#include "FromLive.h"
#include "FromLog.h"
#include "LiveBlocks.h"
#include "LogReader.h"
#include "Parameters.h"
#include "ResultFile.h"

namespace {

constexpr int kProbeTypes = 6;
// The offset is one byte of hundredths of a volt.
constexpr double kMaxProbeOffset = 2.55;

bool ParseNumber(const std::string& text, double low, double high, double* value) {
  std::istringstream in(text);
  in.imbue(std::locale::classic());
  double v = 0;
  if (!(in >> v) || !in.eof() || !(v >= low && v <= high)) return false;
  *value = v;
  return true;
}

std::string Fixed(double value, int digits) {
  std::ostringstream out;
  out.imbue(std::locale::classic());
  out << std::fixed << std::setprecision(digits) << value;
  return out.str();
}

std::string Percent(double share) {
  return Fixed(share * 100, 0) + " %";
}

std::string Figures(const calibration::PhaseSummary& p) {
  std::string text = "switching " + Fixed(p.switchingPerSecond, 1) + "/s, lean " +
                     Percent(p.leanShare) + ", mean " + Fixed(p.meanLambda / 100, 2) + " V";
  if (p.fuel == calibration::Fuel::Gas) {
    text += ", actuator " + Fixed(p.actuatorMean, 0) + " +- " + Fixed(p.actuatorSpread, 0) +
            " steps, upper limit " + Percent(p.upperShare) + ", lower limit " +
            Percent(p.lowerShare);
  }
  return text + " (" + Fixed(p.validSeconds, 1) + " s counted)";
}

std::string Padded(std::string text, std::size_t width) {
  if (text.size() < width) text.resize(width, ' ');
  return text;
}

}  // namespace

bool IsCheckCommand(const std::string& name) {
  return name == "check";
}

const char* CheckUsage() {
  return "  check FILE.mlg [--csv] [--probe N] [--probe-offset V] [--warm DEGREES]\n"
         "                             the gas calibration check of a recorded log: a\n"
         "                             verdict per band (idle, 2500 rpm) and fuel; probe\n"
         "                             type N is its list position 0..5, V the 0.8-1.6 V\n"
         "                             probe's offset in volts, DEGREES the change-over\n"
         "                             temperature (factory values unless given); exit\n"
         "                             0 all OK, 3 something to adjust, 1 not enough data\n";
}

bool ParseCheckOptions(const std::vector<std::string>& args, CheckOptions* options,
                       std::string* error) {
  // What the log does not hold starts as the factory configuration.
  ConfCar factory("factory.dmr");
  options->car = calibration::CarSettingsOf(factory);
  double probe = static_cast<double>(factory.GetValue(params::Number(params::Id::LambdaProbeType)));
  double offset =
      static_cast<double>(factory.GetValue(params::Number(params::Id::LambdaReferenceOffset)));
  double warm = options->car.changeOverTemperature;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--csv") {
      options->csv = true;
      continue;
    }
    if (a == "--probe" || a == "--probe-offset" || a == "--warm") {
      if (i + 1 >= args.size()) {
        *error = a + " needs a value";
        return false;
      }
      const std::string& value = args[++i];
      bool ok = false;
      if (a == "--probe") {
        ok = ParseNumber(value, 0, kProbeTypes - 1, &probe) && probe == std::trunc(probe);
      } else if (a == "--probe-offset") {
        ok = ParseNumber(value, 0, kMaxProbeOffset, &offset);
      } else {
        ok = ParseNumber(value, -40, 150, &warm) && warm == std::trunc(warm);
      }
      if (!ok) {
        *error = "bad value '" + value + "' for " + a;
        return false;
      }
      continue;
    }
    if (a.size() > 1 && a[0] == '-') {
      *error = "unknown option " + a;
      return false;
    }
    if (!options->file.empty()) {
      *error = "check takes one log";
      return false;
    }
    options->file = a;
  }
  if (options->file.empty()) {
    *error = "check needs a log (FILE.mlg)";
    return false;
  }
  const auto scale = live::LambdaScale(static_cast<int>(probe), params::WholeHundredths(offset));
  options->car.lambdaLow = scale[0];
  options->car.lambdaHigh = scale[1];
  options->car.changeOverTemperature = static_cast<int>(warm);
  return true;
}

void PrintCheck(const calibration::CheckResult& result, bool csv, std::ostream& out) {
  if (csv) {
    out << calibration::ResultCsv(calibration::RowsOf(result));
    return;
  }
  for (const calibration::BandVerdict& band : result.bands) {
    const char* bandText = band.band == calibration::Band::Idle ? "idle" : "2500 rpm";
    for (calibration::Fuel fuel : calibration::kFuels) {
      const calibration::Verdict verdict = band.VerdictOf(fuel);
      const calibration::Reason reason = band.ReasonOf(fuel);
      const auto& phase = fuel == calibration::Fuel::Gas ? band.gas : band.petrol;
      out << Padded(bandText, 10) << Padded(calibration::TokenOf(fuel), 8)
          << calibration::TextOf(verdict);
      if (verdict == calibration::Verdict::NotEnoughData) {
        out << ": " << calibration::TextOf(reason);
      } else {
        out << "; " << Figures(phase);
      }
      out << "\n";
      // What to do: under the gas line (the band's verdict), and under any
      // line that lacks data.
      if (fuel == calibration::Fuel::Gas || verdict == calibration::Verdict::NotEnoughData)
        out << std::string(18, ' ') << calibration::RecommendationOf(verdict, reason) << "\n";
    }
  }
}

int RunCheckCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  CheckOptions options;
  std::string error;
  if (!ParseCheckOptions(args, &options, &error)) {
    err << "ecuctl: " << error << " (ecuctl help shows the commands)\n";
    return kExitUsage;
  }
  const logging::ReadResult read = logging::ReadLog(options.file);
  if (!read.ok) {
    err << "ecuctl: " << options.file << " cannot be read: " << read.error << "\n";
    return kExitBadFile;
  }
  if (!read.log.stoppedEarly.empty()) {
    err << "ecuctl: " << options.file << " is read up to its last whole block ("
        << read.log.stoppedEarly << ")\n";
  }
  const calibration::CheckResult result =
      calibration::Check(calibration::SamplesOf(read.log), options.car);
  PrintCheck(result, options.csv, out);
  const int code = calibration::ExitCodeOf(result);
  if (code == kCheckNotEnoughData)
    err << "ecuctl: " << options.file << " has not enough data for every band\n";
  return code;
}
