// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/qt_colour.h"
