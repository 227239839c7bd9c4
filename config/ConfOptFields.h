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
  kOverRevHandler = 1,     // row 2: return to petrol when over-revving
  kLowLevelHandler = 2,    // row 4: return to petrol on low gas level
  kFixedDefaultHandler = 3,  // row 6: fixed actuator default position
  kKickDownHandler = 4,    // row 12: actuator jump with the throttle floored
  kCutOffHandler = 5,      // row 17: fuel cut-off
};

inline constexpr FieldRow kConfOptRows[] = {
    // caption, input, kind, parameter, element, min, max, step, unit, handler
    {"LabelTempCambio", "EditTCambio", FieldKind::Edit, 58, kNoElement, 15, 40, 1, "UnitaGradi",
     kNoHandler},
    {"LabelTempPartenzaGas", "EditTPartenzaGas", FieldKind::Edit, 74, kNoElement, 30, 80, 1,
     "UnitaGradi", kNoHandler},
    {"LabelAbilFuoriGiri", "CheckFuoriGiri", FieldKind::CheckBox, 62, kNoElement, 0, 0, 0, nullptr,
     kOverRevHandler},
    {"LabelFuoriGiri", "EditFuoriGiri", FieldKind::Edit, 62, kNoElement, 4000, 8000, 100,
     "UnitaGiri", kNoHandler},
    {"LabelRientro", "CheckRientro", FieldKind::CheckBox, 66, kNoElement, 0, 0, 0, nullptr,
     kLowLevelHandler},
    // The range is set at show time from the inverted-level flag.
    {"LabelLivRientro", "EditLivello", FieldKind::Edit, 66, kNoElement, 1, 255, 1, nullptr,
     kNoHandler},
    {"LabelDefFisso", "CheckDefault", FieldKind::CheckBox, 67, kNoElement, 0, 0, 0, nullptr,
     kFixedDefaultHandler},
    {"LabelPosDefault", "EditDefault", FieldKind::Edit, 40, kNoElement, 0, 255, 1, nullptr,
     kNoHandler},
    {"LabelMaxApMin", "EditMaxApMin", FieldKind::Edit, 31, kNoElement, 0, 255, 1, nullptr,
     kNoHandler},
    {"LabelMinApMin", "EditMinApMin", FieldKind::Edit, 32, kNoElement, 0, 255, 1, nullptr,
     kNoHandler},
    {"LabelMaxApFMin", "EditMaxApFMin", FieldKind::Edit, 33, kNoElement, 0, 255, 1, nullptr,
     kNoHandler},
    {"LabelMinApFMin", "EditMinApFMin", FieldKind::Edit, 34, kNoElement, 0, 255, 1, nullptr,
     kNoHandler},
    {"LabelAffondata", "CheckAffondata", FieldKind::CheckBox, 38, kNoElement, 0, 0, 0, nullptr,
     kKickDownHandler},
    {"LabelPosAffondata", "EditAffondata", FieldKind::Edit, 39, kNoElement, 0, 255, 1, nullptr,
     kNoHandler},
    {"LabelTpsAffondata", "EditTpsAffondata", FieldKind::Edit, 38, kNoElement, 0, 4.9, 0.1,
     "UnitaVolt", kNoHandler},
    {"LabelIstBosch", "EditIstBosch", FieldKind::Edit, 23, kNoElement, 0, 5, 0.1, "UnitaVolt",
     kNoHandler},
    {"LabelIstMin", "EditIstMin", FieldKind::Edit, 24, kNoElement, 0, 5, 0.01, "UnitaVolt",
     kNoHandler},
    {"LabelOpCutOff", "CheckCutOff", FieldKind::CheckBox, 41, kNoElement, 0, 0, 0, nullptr,
     kCutOffHandler},
    {"LabelGiriCutOff", "EditCutOff", FieldKind::Edit, 41, kNoElement, 1300, 7000, 100,
     "UnitaGiri", kNoHandler},
    {"LabelPosCutOff", "EditPosCutOff", FieldKind::Edit, 42, kNoElement, 0, 255, 1, nullptr,
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
