// SPDX-License-Identifier: GPL-3.0-or-later
#include "daemon/line_share.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "daemon/client_request.h"
#include "daemon/line_share_socket.h"
#include "link/frame.h"
#include "link/shared_line_socket.h"

namespace tk358 {

namespace {

// "uid 1000, pid 4242" of the program at the other end (sshd for a forwarded line).
std::string PeerText(int fd) {
    ucred peer{};
    socklen_t size = sizeof peer;
    if (getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0) {
        return "nieznany";
    }
    return "uid " + std::to_string(peer.uid) + ", pid " + std::to_string(peer.pid);
}

}  // namespace

LineShare::LineShare(PanelSession& session, const DaemonLog& log, LineShareSettings settings)
    : session_(session), log_(log), settings_(std::move(settings)) {}

LineShare::~LineShare() {
    Stop();
}

bool LineShare::Start(std::string* error) {
    listenFd_ = ListenOnSharedLine(settings_.path, settings_.group, error);
    if (listenFd_ < 0) {
        return false;
    }
    stopEvent_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    try {
        if (stopEvent_ < 0) {
            throw std::system_error(errno, std::generic_category());
        }
        session_.SetLineObserver(this);
        relay_ = std::thread(&LineShare::Relay, this);
        server_ = std::thread(&LineShare::Serve, this);
    } catch (const std::system_error& e) {
        *error = std::string("share: ") + e.what();
        Stop();
        return false;
    }
    log_.Info("linia udostępniona przez " + settings_.path);
    log_.Info(settings_.readOnly ? "zapis przez gniazdo: zablokowany (--share-read-only)"
                                 : "zapis przez gniazdo: dozwolony");
    return true;
}

void LineShare::Stop() {
    session_.SetLineObserver(nullptr);
    {
        std::lock_guard<std::mutex> lock(requestQueueLock_);
        stopping_ = true;
    }
    requestWake_.notify_all();
    if (stopEvent_ >= 0) {
        eventfd_write(stopEvent_, 1);
    }
    for (std::thread* thread : {&server_, &relay_}) {
        if (thread->joinable()) {
            thread->join();
        }
    }
    if (clientFd_ >= 0) {
        DropClient("koniec pracy");
    }
    if (listenFd_ >= 0) {
        close(listenFd_);
        unlink(settings_.path.c_str());
        listenFd_ = -1;
    }
    if (stopEvent_ >= 0) {
        close(stopEvent_);
        stopEvent_ = -1;
    }
}

// ---- Server thread ----

void LineShare::Serve() {
    for (;;) {
        // clientFd_ changes only on this thread: read here without the lock.
        pollfd fds[3] = {{stopEvent_, POLLIN, 0}, {listenFd_, POLLIN, 0}, {clientFd_, POLLIN, 0}};
        if (poll(fds, 3, -1) < 0) {
            continue;  // EINTR; the descriptors are this object's own
        }
        if (fds[0].revents != 0) {
            return;
        }
        if (fds[2].revents != 0) {
            ReadClient();
        }
        if (fds[1].revents != 0) {
            Accept();
        }
    }
}

void LineShare::Accept() {
    const int fd = accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (fd < 0) {
        return;
    }
    if (clientFd_ >= 0) {
        log_.Warning("odrzucono drugiego klienta (" + PeerText(fd) + "): linia jest zajęta");
        close(fd);
        return;
    }
    log_.Info("klient linii połączony (" + PeerText(fd) + ")");
    std::lock_guard<std::mutex> lock(clientLock_);
    clientFd_ = fd;
    ++client_;
}

void LineShare::ReadClient() {
    char chunk[512];
    const ssize_t n = recv(clientFd_, chunk, sizeof chunk, MSG_DONTWAIT);
    if (n > 0) {
        CutClientBytes(chunk, static_cast<std::size_t>(n));
    } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
        DropClient("klient linii rozłączony");
    }
}

// Whole lines only; a line longer than a request buffer is dropped whole.
void LineShare::CutClientBytes(const char* bytes, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        const char byte = bytes[i];
        if (dropping_) {
            dropping_ = !(lastDropped_ == '\r' && byte == '\n');
            lastDropped_ = byte;
            continue;
        }
        incoming_ += byte;
        if (incoming_.ends_with("\r\n")) {
            std::string line = std::move(incoming_);
            incoming_.clear();
            if (!QueueRequest(std::move(line))) {
                DropClient("klient linii wysyła żądania, nie czekając na odpowiedzi; rozłączono");
                return;
            }
        } else if (incoming_.size() >= static_cast<std::size_t>(kLineCapacity)) {
            dropping_ = true;
            lastDropped_ = byte;
            incoming_.clear();
        }
    }
}

// Queues a whole line of the current client; false when the client is to
// be cut off. The requests waiting, and the one on the line, count against
// the limit; one beyond it keeps its place to be refused in turn.
bool LineShare::QueueRequest(std::string line) {
    std::lock_guard<std::mutex> lock(requestQueueLock_);
    if (waiting_.size() >= kClientLineLimit) {
        return false;
    }
    std::size_t requests = carriedClient_ == client_ ? 1 : 0;
    for (const Request& request : waiting_) {
        requests += request.overLimit ? 0 : 1;
    }
    waiting_.push_back(Request{std::move(line), client_, requests >= kClientRequestLimit});
    requestWake_.notify_one();
    return true;
}

// A request still waiting for the line goes with its client; one already on
// the line was sent whole and its answer is dropped.
void LineShare::DropClient(const std::string& why) {
    const bool halfLine = !incoming_.empty() && !dropping_;
    incoming_.clear();
    dropping_ = false;
    {
        std::lock_guard<std::mutex> lock(requestQueueLock_);
        waiting_.clear();
    }
    {
        std::lock_guard<std::mutex> lock(clientLock_);
        close(clientFd_);
        clientFd_ = -1;
    }
    log_.Info(why + (halfLine ? "; niedokończonej linii nie wysłano do panelu" : ""));
}

// ---- Relay thread ----

void LineShare::Relay() {
    for (;;) {
        Request request;
        {
            std::unique_lock<std::mutex> lock(requestQueueLock_);
            carriedClient_ = 0;
            requestWake_.wait(lock, [this] { return stopping_ || !waiting_.empty(); });
            if (stopping_) {
                return;
            }
            request = std::move(waiting_.front());
            waiting_.pop_front();
            carriedClient_ = request.client;
        }
        RelayOne(request);
    }
}

void LineShare::RelayOne(const Request& request) {
    const ClientRequestVerdict verdict = JudgeClientRequest(request.line, settings_.readOnly);
    if (request.overLimit && verdict.action != ClientRequestAction::kIgnore) {
        const std::string code = request.line.substr(0, 6);
        log_.Warning("żądanie klienta " + code + " odrzucone: czeka już " +
                     std::to_string(kClientRequestLimit) + " jego żądań");
        AnswerClient(request, SharedLineRefusal(code, kRefusedQueueFull));
        return;
    }
    if (!verdict.logText.empty()) {
        verdict.warning ? log_.Warning(verdict.logText) : log_.Info(verdict.logText);
    }
    switch (verdict.action) {
        case ClientRequestAction::kForward: {
            {
                std::lock_guard<std::mutex> lock(clientLock_);
                if (client_ != request.client || clientFd_ < 0) {
                    return;  // its client is gone: nobody waits for the answer
                }
                relayClient_ = request.client;
            }
            session_.RelayRequest(request.line, verdict.answerPrefix);
            break;
        }
        case ClientRequestAction::kAnswerHere:
        case ClientRequestAction::kRefuse:
            AnswerClient(request, verdict.answer);
            break;
        case ClientRequestAction::kIgnore:
            break;
    }
}

void LineShare::AnswerClient(const Request& request, const std::string& line) {
    std::lock_guard<std::mutex> lock(clientLock_);
    if (client_ == request.client) {
        SendLocked(line);
    }
}

// ---- Reader thread ----

void LineShare::OnPanelLine(std::string_view line, bool relayAnswer) {
    if (!relayAnswer && IsAnswerLine(line)) {
        return;  // the daemon's own exchange, or an answer given up on
    }
    std::lock_guard<std::mutex> lock(clientLock_);
    if (!relayAnswer || relayClient_ == client_) {
        SendLocked(line);
    }
}

// A client that does not keep up with the line (its socket full) is cut off
// rather than handed half a line; the server thread then drops it.
void LineShare::SendLocked(std::string_view bytes) {
    if (clientFd_ < 0) {
        return;
    }
    const ssize_t n = send(clientFd_, bytes.data(), bytes.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
    if (n != static_cast<ssize_t>(bytes.size())) {
        shutdown(clientFd_, SHUT_RDWR);
    }
}

}  // namespace tk358
