// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The logging interval in seconds, as the setup dialog keeps it (the status
// line shows it with FormatHms of text/text_format.h).

namespace tk358 {

inline constexpr int kMinLogInterval = 1;
inline constexpr int kMaxLogInterval = 86399;  // 23:59:59

// A stored interval brought into the range the setup dialog allows.
int ClampLogInterval(int seconds);

}  // namespace tk358
