// SPDX-License-Identifier: GPL-3.0-or-later
#include "log/log_write_health.h"

namespace tk358 {

LogWriteHealth::Change LogWriteHealth::Record(int error) {
    if (error != 0) {
        if (failing_) {
            return Change::kNone;
        }
        failing_ = true;
        return Change::kFailed;
    }
    if (!failing_) {
        return Change::kNone;
    }
    failing_ = false;
    return Change::kRecovered;
}

}  // namespace tk358
