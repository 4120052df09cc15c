// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Replaces how a link opens its target and reports a failure, so tests
// neither start a browser nor show a message box.

#include <utility>

#include "widgets/hyperlink_label.h"

namespace tk358::test {

struct HyperlinkLabelProbe {
    static void SetOpener(HyperlinkLabel& link, HyperlinkLabel::Opener opener) {
        link.opener_ = std::move(opener);
    }
    static void SetFailureNotifier(HyperlinkLabel& link, HyperlinkLabel::FailureNotifier notifier) {
        link.notifier_ = std::move(notifier);
    }
};

}  // namespace tk358::test
