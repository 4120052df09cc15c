#include "widgets/qt_colour.h"
