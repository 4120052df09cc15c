// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What tk358d does with a request line from the client of its shared line.
// Only whole, well-formed requests of the commands the program itself sends
// reach the panel. Monitoring mode stays on: any other monitoring word is
// answered here as the panel answers it and never sent. Writes are logged
// with their code and value; on a read-only line they are refused unsent, and
// the client gets the refusal (shared_line_socket.h) so its write fails at once.

#include <string>
#include <string_view>

namespace tk358 {

enum class ClientRequestAction {
    kForward,     // send it to the panel; the answer goes back to the client
    kAnswerHere,  // not sent; `answer` goes back to the client
    kRefuse,      // a write on a read-only line: not sent; `answer` is the refusal
    kIgnore,      // not a request of the panel protocol: not sent, no answer
};

struct ClientRequestVerdict {
    ClientRequestAction action = ClientRequestAction::kIgnore;
    std::string answerPrefix;  // kForward: the command code and ":"
    std::string answer;        // kAnswerHere, kRefuse: the whole line for the client
    std::string logText;       // empty: nothing worth a log line
    bool warning = false;      // log it as a warning, not as information
};

// `line` is one line from the client, CR LF included.
ClientRequestVerdict JudgeClientRequest(std::string_view line, bool readOnly);

// True when `line` begins like an answer to one of the requests (an identification,
// parameter or write answer), as opposed to a status line the panel sends
// unasked.
bool IsAnswerLine(std::string_view line);

}  // namespace tk358
