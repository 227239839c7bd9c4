// The rows and pages of the software configuration window: the gas
// actuator's speeds at idle and in cruise, its first steps towards rich and
// lean, and where the maximum-power regime starts.
#pragma once

#include "FieldTable.h"

inline constexpr FieldRow kConfSwRows[] = {
    // caption, input, kind, parameter, element, handler
    {"LabelTAperturaMin", "EditPassiAp", FieldKind::Edit, params::Id::IdleOpeningStepTime,
     kNoElement, kNoHandler},
    {"LabelTChiusuraMin", "EditPassiCh", FieldKind::Edit, params::Id::IdleClosingStepTime,
     kNoElement, kNoHandler},
    {"LabelTApertura", "EditTPassiAp", FieldKind::Edit, params::Id::CruiseOpeningStepTime,
     kNoElement, kNoHandler},
    {"LabelTChiusura", "EditTPassiCh", FieldKind::Edit, params::Id::CruiseClosingStepTime,
     kNoElement, kNoHandler},
    {"LabelInvIngr", "EditInvIngr", FieldKind::Edit, params::Id::StepsToEnrichAtFirstLean,
     kNoElement, kNoHandler},
    {"LabelInvSmagr", "EditInvSmagr", FieldKind::Edit, params::Id::StepsToLeanAtFirstRich,
     kNoElement, kNoHandler},
    // Element 2 of the three TPS voltages.
    {"LabelTpsPotenza", "EditTpsPotenza", FieldKind::Edit, params::Id::TpsVoltages, 2, kNoHandler},
    {"LabelGiriPotenza", "EditGiriPotenza", FieldKind::Edit, params::Id::PowerStartRpm, kNoElement,
     kNoHandler},
};

inline constexpr FieldPage kConfSwPages[] = {
    {"PageMinimo", 0},
    {"PageCrociera", 2},
    {"PageMaxPotenza", 6},
};
