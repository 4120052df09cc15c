// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The entities tk358d describes to Home Assistant: what each one reads, how
// it is shown and which panel kinds have it.

#include <span>
#include <utility>

#include "panel/regulation_fields.h"

namespace tk358 {

enum class EntityShape {
    kTemperature,  // °C, one decimal
    kSetpoint,     // °C, two decimals; also a number entity where writable
    kPercent,
    kZone,       // enum of the kind's two zone names
    kOnOff,      // a binary sensor
    kOffset,     // seconds, may be negative
    kTimestamp,  // an ISO 8601 time
    kLogState,   // enum ok / failing / off, with the reason as an attribute
    kCount,      // a count since the start
    kUptime,     // seconds since the start
};

// The message an entity reads.
enum class EntitySource { kState, kInfo, kHealth };

struct DiscoveryEntity {
    const char* object;  // the last part of its ids and topic
    const char* title;   // the entity's name in Home Assistant
    EntityShape shape;
    const char* deviceClass;    // of a binary sensor; nullptr: none
    const char* valueTemplate;  // nullptr: made from the kind (the zone)
    // The kinds that have it, a bit per kind; tk358d's own entities also
    // have the bit of the unknown kind: they exist before any panel answers
    // and depend on tk358d only, not on the panel's link.
    unsigned kinds;
    unsigned writableKinds;  // the kinds whose set-point dialog writes it
    const FieldRule* rule;   // its bounds, where writable
    EntitySource source;
    bool diagnostic;
    bool enabledByDefault;
};

std::span<const DiscoveryEntity> DiscoveryEntities();

bool KindHas(unsigned kinds, int kind);

// The names the window gives the active zone of a kind: first and second.
std::pair<const char*, const char*> ZoneNames(int kind);

}  // namespace tk358
