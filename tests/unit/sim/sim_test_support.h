// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Helpers for the simulated panel's tests: requests are written as text
// (command code and data, the checksum is added as the program adds it),
// answers come back as whole lines.

#include <string>
#include <string_view>
#include <vector>

#include "link/frame.h"
#include "sim/sim_panel.h"

namespace tk358::sim::test {

// Sends one request ("028600005A" without checksum) and returns what the
// panel sends back at once, line by line.
inline std::vector<std::string> Exchange(SimPanel& panel, std::string_view request) {
    const RequestFrame frame = BuildRequest(request.substr(0, 6), request.substr(6));
    panel.Receive(frame.Text());
    std::vector<std::string> lines;
    for (OutgoingLine& line : panel.TakeOutput()) {
        lines.push_back(std::move(line.bytes));
    }
    return lines;
}

// The one answer to a request; empty when the panel said nothing.
inline std::string Ask(SimPanel& panel, std::string_view request) {
    const std::vector<std::string> lines = Exchange(panel, request);
    return lines.empty() ? std::string() : lines.front();
}

// Every line sent, joined in order.
inline std::string Drain(SimPanel& panel) {
    std::string bytes;
    for (const OutgoingLine& line : panel.TakeOutput()) {
        bytes += line.bytes;
    }
    return bytes;
}

// The unrequested lines sent during `ms` of panel time.
inline std::vector<std::string> StatusBurst(SimPanel& panel, int ms) {
    panel.Advance(std::chrono::milliseconds(ms));
    std::vector<std::string> lines;
    for (OutgoingLine& line : panel.TakeOutput()) {
        lines.push_back(std::move(line.bytes));
    }
    return lines;
}

// The first line of `lines` that begins with `prefix`.
inline AnswerLine Find(const std::vector<std::string>& lines, std::string_view prefix) {
    for (const std::string& line : lines) {
        if (line.starts_with(prefix)) {
            return AnswerLine::From(line);
        }
    }
    return AnswerLine{};
}

inline std::string Crlf(std::string_view text) {
    return std::string(text) + "\r\n";
}

}  // namespace tk358::sim::test
