// Tokens and English texts of the check's bands, fuels, verdicts and reasons.
#include "Analysis.h"

namespace calibration {

const char* TokenOf(Band band) {
  return band == Band::Idle ? "idle" : "2500";
}

const char* TokenOf(Fuel fuel) {
  return fuel == Fuel::Gas ? "gas" : "petrol";
}

const char* TokenOf(Verdict verdict) {
  switch (verdict) {
    case Verdict::Ok: return "ok";
    case Verdict::LeanOnGas: return "lean-on-gas";
    case Verdict::RichOnGas: return "rich-on-gas";
    case Verdict::NotSwitchingOnGas: return "lambda-not-switching";
    case Verdict::UpperLimit: return "actuator-upper-limit";
    case Verdict::LowerLimit: return "actuator-lower-limit";
    case Verdict::NotEnoughData: return "not-enough-data";
  }
  return "";
}

const char* TokenOf(Reason reason) {
  switch (reason) {
    case Reason::None: return "";
    case Reason::NotRecorded: return "not-recorded";
    case Reason::TooShort: return "too-short";
    case Reason::Cold: return "cold";
    case Reason::NotSteady: return "not-steady";
    case Reason::NoSwitching: return "no-switching";
    case Reason::NoPetrolReference: return "no-petrol-reference";
  }
  return "";
}

const char* TextOf(Verdict verdict) {
  switch (verdict) {
    case Verdict::Ok: return "OK";
    case Verdict::LeanOnGas: return "lean on gas";
    case Verdict::RichOnGas: return "rich on gas";
    case Verdict::NotSwitchingOnGas: return "lambda not switching on gas";
    case Verdict::UpperLimit: return "actuator at its upper limit";
    case Verdict::LowerLimit: return "actuator at its lower limit";
    case Verdict::NotEnoughData: return "not enough data";
  }
  return "";
}

const char* TextOf(Reason reason) {
  switch (reason) {
    case Reason::None: return "";
    case Reason::NotRecorded: return "this phase was not recorded";
    case Reason::TooShort: return "less than 20 s in the band";
    case Reason::Cold: return "engine cold (gas below the change-over temperature)";
    case Reason::NotSteady: return "engine speed not steady";
    case Reason::NoSwitching: return "lambda probe not switching on petrol";
    case Reason::NoPetrolReference: return "no valid petrol phase to compare with";
  }
  return "";
}

const char* RecommendationOf(Verdict verdict, Reason reason) {
  switch (verdict) {
    case Verdict::Ok:
      return "Nothing to adjust.";
    case Verdict::LeanOnGas:
      return "Enrich: open the regulator's or mixer's gas flow adjustment a little, "
             "then check for leaks in the gas line and a clogged filter.";
    case Verdict::RichOnGas:
      return "Lean out: close the regulator's or mixer's gas flow adjustment a little.";
    case Verdict::NotSwitchingOnGas:
      return "Check the lambda probe, its wiring to the ECU and the emulation setting.";
    case Verdict::UpperLimit:
      return "The actuator has no travel left to enrich: open the regulator's or mixer's "
             "gas flow adjustment until it works inside its window.";
    case Verdict::LowerLimit:
      return "The actuator has no travel left to lean out: close the regulator's or mixer's "
             "gas flow adjustment until it works inside its window.";
    case Verdict::NotEnoughData:
      switch (reason) {
        case Reason::Cold:
          return "Let the engine warm up until the gas is above the change-over temperature.";
        case Reason::NotSteady:
          return "Hold the engine speed steady in the band for at least 20 s.";
        case Reason::NoSwitching:
          return "The probe does not switch on petrol: check it before judging gas.";
        case Reason::NoPetrolReference:
          return "Record the same band on petrol first.";
        default:
          return "Hold the band for at least 20 s on this fuel.";
      }
  }
  return "";
}

}  // namespace calibration
