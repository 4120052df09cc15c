#include "app/process_locale.h"

#include <clocale>

namespace tk358 {

void SetUpProcessLocale() {
    std::setlocale(LC_TIME, "");
    std::setlocale(LC_NUMERIC, "C");
}

}  // namespace tk358
