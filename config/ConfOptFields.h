// The rows and pages of the optional configuration window: the change-over
// temperature, the returns to petrol (over-rev, low gas level), the gas
// actuator around its default position and with the throttle floored, the
// TPS hysteresis and the fuel cut-off. Five rows are option check boxes with
// a handler each; the edit that follows a check box edits the value the
// option switches on.
#pragma once

#include "FieldTable.h"

// The option handlers of the window.
enum ConfOptHandler {
  kOverRevHandler = 1,       // row 2: return to petrol when over-revving
  kLowLevelHandler = 2,      // row 4: return to petrol on low gas level
  kFixedDefaultHandler = 3,  // row 6: fixed actuator default position
  kKickDownHandler = 4,      // row 12: actuator jump with the throttle floored
  kCutOffHandler = 5,        // row 17: fuel cut-off
};

inline constexpr FieldRow kConfOptRows[] = {
    // caption, input, kind, parameter, element, handler
    {"LabelTempCambio", "EditTCambio", FieldKind::Edit, params::Id::ChangeOverMinimumTemperature,
     kNoElement, kNoHandler},
    {"LabelTempPartenzaGas", "EditTPartenzaGas", FieldKind::Edit, params::Id::GasStartTemperature,
     kNoElement, kNoHandler},
    {"LabelAbilFuoriGiri", "CheckFuoriGiri", FieldKind::CheckBox, params::Id::OverRevThreshold,
     kNoElement, kOverRevHandler},
    {"LabelFuoriGiri", "EditFuoriGiri", FieldKind::Edit, params::Id::OverRevThreshold, kNoElement,
     kNoHandler},
    {"LabelRientro", "CheckRientro", FieldKind::CheckBox, params::Id::ReturnToPetrolLevel,
     kNoElement, kLowLevelHandler},
    // The window narrows its parameter's range at show time while the level
    // sensor is inverted.
    {"LabelLivRientro", "EditLivello", FieldKind::Edit, params::Id::ReturnToPetrolLevel, kNoElement,
     kNoHandler},
    {"LabelDefFisso", "CheckDefault", FieldKind::CheckBox, params::Id::FixedDefaultOption,
     kNoElement, kFixedDefaultHandler},
    {"LabelPosDefault", "EditDefault", FieldKind::Edit, params::Id::ActuatorDefaultPosition,
     kNoElement, kNoHandler},
    {"LabelMaxApMin", "EditMaxApMin", FieldKind::Edit, params::Id::IdleOpeningStepsBeyond,
     kNoElement, kNoHandler},
    {"LabelMinApMin", "EditMinApMin", FieldKind::Edit, params::Id::IdleClosingStepsBelow,
     kNoElement, kNoHandler},
    {"LabelMaxApFMin", "EditMaxApFMin", FieldKind::Edit, params::Id::OffIdleOpeningStepsBeyond,
     kNoElement, kNoHandler},
    {"LabelMinApFMin", "EditMinApFMin", FieldKind::Edit, params::Id::OffIdleClosingStepsBelow,
     kNoElement, kNoHandler},
    {"LabelAffondata", "CheckAffondata", FieldKind::CheckBox, params::Id::FullThrottleTps,
     kNoElement, kKickDownHandler},
    {"LabelPosAffondata", "EditAffondata", FieldKind::Edit, params::Id::ActuatorAtFullThrottle,
     kNoElement, kNoHandler},
    {"LabelTpsAffondata", "EditTpsAffondata", FieldKind::Edit, params::Id::FullThrottleTps,
     kNoElement, kNoHandler},
    {"LabelIstBosch", "EditIstBosch", FieldKind::Edit, params::Id::MonoBoschHysteresis, kNoElement,
     kNoHandler},
    {"LabelIstMin", "EditIstMin", FieldKind::Edit, params::Id::IdleTpsHysteresis, kNoElement,
     kNoHandler},
    {"LabelOpCutOff", "CheckCutOff", FieldKind::CheckBox, params::Id::CutOffEndRpm, kNoElement,
     kCutOffHandler},
    {"LabelGiriCutOff", "EditCutOff", FieldKind::Edit, params::Id::CutOffEndRpm, kNoElement,
     kNoHandler},
    {"LabelPosCutOff", "EditPosCutOff", FieldKind::Edit, params::Id::ActuatorInCutOff, kNoElement,
     kNoHandler},
};

inline constexpr FieldPage kConfOptPages[] = {
    {"PageCambio", 0},
    {"PageAttuatore", 6},
    {"PageTps", 15},
    {"PageCutOff", 17},
};

// Rows the window refers to by name.
enum ConfOptRow {
  kRowTempPartenzaGas = 1,
  kRowFuoriGiri = 3,
  kRowLivello = 5,
  kRowDefault = 7,
  kRowAffondata = 13,
  kRowTpsAffondata = 14,
  kRowIstBosch = 15,
  kRowCutOff = 18,
  kRowPosCutOff = 19,
};
