// SPDX-License-Identifier: GPL-3.0-or-later
#include "present/colour.h"

static_assert(tk358::MakeColorref(255, 231, 206) == 13559807u, "temperature background");
static_assert(tk358::RedOf(5442) == 66 && tk358::GreenOf(5442) == 21 && tk358::BlueOf(5442) == 0);
