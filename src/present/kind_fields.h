// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the window shows of each panel kind, in one place: the service view's
// fields (their labels, the group of each kind, the fields shown from a
// cached parameter) and the edit rows of the valve, drain-valve and
// ventilation "Parametry regulacji". A new parameter shown by the window goes into its
// kind's lists here, its code into link/parameter_codes.h and
// link/kind_codes.cpp, its place in the service view into main_layout.cpp.
// ServiceFieldLabel, AllServiceFields and ServiceGroupFor (service_fields.h)
// are defined with these tables.

#include <cstdint>
#include <span>

#include "panel/regulation_fields.h"
#include "present/regulation_params.h"
#include "present/service_fields.h"

namespace tk358 {

// How a service field shows its parameter.
enum class ServiceShown : uint8_t {
    kParameter,  // as the dialogs show it (ParameterText)
    kYesNo,      // "TAK" or "NIE"
    kFans,       // the fans switched on by name
};

struct ServiceParameter {
    ServiceField field;
    int code;
    ServiceShown shown = ServiceShown::kParameter;
};

// The service fields of `deviceType` shown from its parameter set, complete
// when the set of that kind is read; types 0 and 5 and above have the
// temperature controller's.
std::span<const ServiceParameter> ServiceParameters(int deviceType);

// One edit row of a parameter dialog: the code it edits (its label), the
// field's object name, its rule and the value it fills.
template <class Values>
struct DialogRow {
    int code;
    const char* objectName;
    const FieldRule* rule;
    int Values::*value;
};

// The valve's edit rows in the order shown, labelled by the temperature
// controller's codes; the dual-zone controller's have the same labels, units
// and bounds (ReadValveParameters reads each kind's own codes).
std::span<const DialogRow<ValveParameters>> ValveRows();

// The drain-valve controller's edit rows in the order shown.
std::span<const DialogRow<DrainValveParameters>> DrainValveRows();

// The ventilation controller's edit rows in the order shown: the thresholds
// and hystereses, then (after the airing check box) the airing settings.
std::span<const DialogRow<VentilationParameters>> VentilationThresholdRows();
std::span<const DialogRow<VentilationParameters>> VentilationAiringRows();

}  // namespace tk358
