// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// tk358d's serial line shared with one client at a time over a Unix socket
// (--share). The client's bytes are cut into request lines; each whole,
// allowed request goes to the panel as one exchange of the session, so a
// request and its answer (or its timeout) belong to one side while the
// daemon's own exchanges wait. The client receives every status line and the
// answers to its own requests; the answers to the daemon's requests stay
// with the daemon, which goes on decoding every line for its log and broker.
// Requests sent before the earlier ones are answered wait their turn, and
// every one gets its answer or a refusal, in the order sent: beyond
// kClientRequestLimit waiting, and for writes on a read-only line, the
// client is refused (shared_line_socket.h). A second client is closed at
// once; a line the client leaves unfinished is never sent.
//
// Threads: the server thread accepts, refuses and reads the client; the
// relay thread carries one request at a time through the session; the port's
// reader thread hands the panel's lines to OnPanelLine.

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include "daemon/daemon_log.h"
#include "link/panel_session.h"

namespace tk358 {

// Requests of the client waiting for the line or on it; any more are refused.
inline constexpr std::size_t kClientRequestLimit = 8;
// Lines waiting, refused ones included: a client that sends still more is
// cut off, as it does not wait for the answers.
inline constexpr std::size_t kClientLineLimit = 64;

struct LineShareSettings {
    std::string path;   // the socket
    std::string group;  // its group; empty: the daemon's own
    bool readOnly = false;
};

class LineShare final : public PanelLineObserver {
public:
    LineShare(PanelSession& session, const DaemonLog& log, LineShareSettings settings);
    ~LineShare();
    LineShare(const LineShare&) = delete;
    LineShare& operator=(const LineShare&) = delete;

    // Listens on the socket and starts serving. False with the reason in `error`.
    bool Start(std::string* error);
    // Ends the client's connection (a relayed exchange under way ends first),
    // stops listening and removes the socket.
    void Stop();

    void OnPanelLine(std::string_view line, bool relayAnswer) override;

private:
    struct Request {
        std::string line;
        uint64_t client = 0;
        bool overLimit = false;  // refused: too many requests were waiting
    };

    void Serve();
    void Accept();
    void ReadClient();
    void CutClientBytes(const char* bytes, std::size_t count);
    bool QueueRequest(std::string line);
    void DropClient(const std::string& why);
    void Relay();
    void RelayOne(const Request& request);
    void AnswerClient(const Request& request, const std::string& line);
    void SendLocked(std::string_view bytes);

    PanelSession& session_;
    const DaemonLog& log_;
    const LineShareSettings settings_;
    int listenFd_ = -1;
    int stopEvent_ = -1;

    // The server thread's own: the client's line being collected.
    std::string incoming_;
    bool dropping_ = false;  // inside a line too long for a request
    char lastDropped_ = 0;

    // clientLock: the client's connection, between the server thread (accept,
    // drop), the reader thread and the relay thread (lines to the client).
    // Held only for non-blocking sends, never while an exchange waits.
    std::mutex clientLock_;
    int clientFd_ = -1;
    uint64_t client_ = 0;       // counts connections; the current one's number
    uint64_t relayClient_ = 0;  // whose request is on the line

    // requestQueueLock: the client's requests waiting for the line, whose
    // request the relay thread carries, and the stop flag, between the server
    // thread and the relay thread.
    std::mutex requestQueueLock_;
    std::condition_variable requestWake_;
    std::deque<Request> waiting_;
    uint64_t carriedClient_ = 0;  // 0: none being carried
    bool stopping_ = false;

    std::thread server_;
    std::thread relay_;
};

}  // namespace tk358
