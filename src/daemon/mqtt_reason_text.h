// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What an MQTT 5 reason code of 0x80 or more means, in Polish with the
// standard's own name after it, for the log lines an operator reads when the
// broker refuses something.

#include <string>

namespace tk358 {

// "brak uprawnień (Not authorized)" for 0x87; "nieznany kod" for a code
// the standard does not define.
std::string MqttReasonText(int code);

}  // namespace tk358
