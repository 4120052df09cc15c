// SPDX-License-Identifier: GPL-3.0-or-later
// The target that builds the precompiled header the Qt-free tests share.
