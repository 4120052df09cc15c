#pragma once

// The logging interval in seconds, as the setup dialog keeps it and the
// status line shows it.

#include <string>

namespace tk358 {

inline constexpr int kMinLogInterval = 1;
inline constexpr int kMaxLogInterval = 86399;  // 23:59:59

// A stored interval brought into the range the setup dialog allows.
int ClampLogInterval(int seconds);

// "%02d:%02d:%02d" of hours, minutes and seconds; negative counts as 0.
std::string FormatInterval(int seconds);

}  // namespace tk358
