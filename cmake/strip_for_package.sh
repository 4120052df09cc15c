#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# strip as Debian's packaging tools call it: the compiler's .comment and the
# .note section go too.
exec strip --remove-section=.comment --remove-section=.note "$@"
