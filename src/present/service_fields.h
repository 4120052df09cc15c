// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The service view: its read-only fields (keyed by their control numbers),
// their labels, the group boxes, the group shown for each device type, and
// the text every field shows for one tick's readings.

#include <span>
#include <string>
#include <vector>

#include "panel/readings_snapshot.h"

namespace tk358 {

enum class ServiceBox {
    kPid = 1019,          // "Parametry PID"
    kRegulation = 1020,   // "Parametry regulacji"
    kOperational = 1133,  // "Parametry operacyjne"
};

enum class ServiceField {
    // Temperature controller; most are shared with the drain-valve and
    // dual-zone controllers.
    kKp = 1007,
    kTi = 1008,
    kTd = 1009,
    kTa = 1010,
    kValveOpenTime = 1011,
    kValveCloseTime = 1012,
    kDeadBand = 1013,
    kDeadTime = 1014,
    kMinStandstill = 1016,
    kMinOnTime = 1017,
    kCvLock = 1018,
    kPv = 1022,
    kSp = 1026,
    kError = 1027,
    kCv = 1028,
    kLoopPeriod = 1029,
    kTermP = 1030,
    kTermI = 1031,
    kTermD = 1032,
    kPvDerivative1 = 1033,
    kPvDerivative2 = 1034,
    kMotor = 1035,
    kPosition = 1036,
    kCommand = 1037,
    kCommandValue = 1038,
    kTimer2 = 1039,  // "ctm"
    kTimer1 = 1040,  // "ltm"
    // Drain-valve controller.
    kDrainStatus = 1066,
    kDrainValve = 1068,
    kDrainTime = 1070,
    kCloseDelay = 1072,
    kDeviation = 1074,
    // Ventilation controller.
    kVentT1 = 1076,
    kVentT2 = 1078,
    kVentH1 = 1080,
    kVentH2 = 1082,
    kAiringThreshold = 1084,
    kAiring = 1086,
    kFans = 1088,
    kAiringTime = 1090,
    kAiringPeriod = 1092,
    kTimeCounter = 1094,
    kPeriodStart = 1096,
    kFan1 = 1098,
    kFan2 = 1100,
    kVirtualFan1 = 1102,
    kVirtualFan2 = 1104,
    // Dual-zone controller.
    kZone1Kp = 1106,
    kZone1Ti = 1108,
    kZone1Td = 1110,
    kZone1At = 1112,
    kZone1Sp = 1114,
    kZone1Start = 1116,
    kZone2Kp = 1118,
    kZone2Ti = 1120,
    kZone2Td = 1122,
    kZone2At = 1124,
    kZone2Sp = 1126,
    kZone2Start = 1128,
    kActiveZone = 1130,
    kReverse = 1132,
    // Threshold regulator.
    kChannels = 1135,
    kRelayLoopPeriod = 1139,
    kRelay1 = 1141,
    kRelay2 = 1143,
    kDayStart = 1145,
    kNightStart = 1149,
    kDayT1 = 1151,
    kDayT2 = 1153,
    kDayH1 = 1155,
    kDayH2 = 1157,
    kNightT1 = 1159,
    kNightT2 = 1161,
    kNightH1 = 1163,
    kNightH2 = 1165,
};

const char* ServiceFieldLabel(ServiceField field);
const char* ServiceBoxTitle(ServiceBox box);

// Every field of every group, each once.
std::span<const ServiceField> AllServiceFields();

// The controls shown together for one device type. Boxes and fields shared
// by several groups belong to each of them.
struct ServiceGroup {
    std::span<const ServiceBox> boxes;
    std::span<const ServiceField> fields;
};

// Types 0 and 5 and above share the temperature controller's group.
ServiceGroup ServiceGroupFor(int deviceType);

struct ServiceText {
    ServiceField field;
    std::string text;
};

// The text of every field of the group of the snapshot's device type; empty
// where the source record is not valid or the parameters are not read.
std::vector<ServiceText> ComputeServiceTexts(const ReadingsSnapshot& s);

// Every field of every group set to the empty text (link lost).
std::vector<ServiceText> ClearedServiceTexts();

}  // namespace tk358
