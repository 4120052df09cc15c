#pragma once

// The process locale: dates and times follow the user's regional settings,
// numbers always use a point.

namespace tk358 {

// Sets LC_TIME to the user's locale and LC_NUMERIC to "C". Called once after
// the QApplication exists, since Qt takes every category from the environment
// when it starts.
void SetUpProcessLocale();

}  // namespace tk358
