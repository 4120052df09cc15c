// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The panel last identified on a line, kept in a small file so that a
// restart while the panel is silent still knows which panel it is (and its
// dashboard entities stay as they are). One file per topic prefix and panel
// name, in key=value lines:
//
//   kind=3
//   serial=3105
//   noNumber=0
//   hardware=5
//   firmware=107

#include <optional>
#include <string>

#include "link/records.h"

namespace tk358 {

// Where tk358d keeps what it remembers: systemd's $STATE_DIRECTORY (the
// unit's StateDirectory=), else $XDG_STATE_HOME/tk358d, else
// ~/.local/state/tk358d; empty when none of them is known.
std::string StateDirectory();

class PanelMemory {
public:
    // `path` empty: nothing is remembered.
    explicit PanelMemory(std::string path) : path_(std::move(path)) {}

    const std::string& Path() const { return path_; }

    // The panel in the file, identified; nothing when there is no file or it
    // does not hold a known kind.
    std::optional<PanelIdentity> Load() const;

    // Replaces the file (its directory is made when missing); the reason
    // when that failed, else empty.
    std::string Save(const PanelIdentity& identity) const;

    // The same panel as far as the file tells.
    static bool SamePanel(const PanelIdentity& a, const PanelIdentity& b);

private:
    std::string path_;
};

}  // namespace tk358
