// The rows and pages of the software configuration window: the gas
// actuator's speeds at idle and in cruise, its first steps towards rich and
// lean, and where the maximum-power regime starts.
#pragma once

#include "FieldTable.h"

inline constexpr FieldRow kConfSwRows[] = {
    // caption, input, kind, parameter, element, min, max, step, unit, handler
    {"LabelTAperturaMin", "EditPassiAp", FieldKind::Edit, 9, kNoElement, 1, 20, 1, nullptr,
     kNoHandler},
    {"LabelTChiusuraMin", "EditPassiCh", FieldKind::Edit, 10, kNoElement, 1, 20, 1, nullptr,
     kNoHandler},
    {"LabelTApertura", "EditTPassiAp", FieldKind::Edit, 12, kNoElement, 1, 20, 1, nullptr,
     kNoHandler},
    {"LabelTChiusura", "EditTPassiCh", FieldKind::Edit, 13, kNoElement, 1, 20, 1, nullptr,
     kNoHandler},
    {"LabelInvIngr", "EditInvIngr", FieldKind::Edit, 45, kNoElement, 0, 255, 1, nullptr,
     kNoHandler},
    {"LabelInvSmagr", "EditInvSmagr", FieldKind::Edit, 44, kNoElement, 0, 255, 1, nullptr,
     kNoHandler},
    // Element 2 of the three TPS voltages.
    {"LabelTpsPotenza", "EditTpsPotenza", FieldKind::Edit, 25, 2, 0, 5, 0.01, "UnitaVolt",
     kNoHandler},
    {"LabelGiriPotenza", "EditGiriPotenza", FieldKind::Edit, 48, kNoElement, 3000, 7000, 50,
     "UnitaGiri", kNoHandler},
};

inline constexpr FieldPage kConfSwPages[] = {
    {"PageMinimo", 0},
    {"PageCrociera", 2},
    {"PageMaxPotenza", 6},
};
