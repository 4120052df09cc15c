#include "scripted_panel.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "link/frame.h"

namespace tk358::test {

namespace fs = std::filesystem;

std::string Compact(std::string text) {
    std::erase(text, ' ');
    return text;
}

namespace {

// A temporary port directory for this process, removed at exit.
struct TemporaryPortDirectory {
    TemporaryPortDirectory() {
        char pattern[] = "/tmp/tk358-session-test-XXXXXX";
        const char* made = mkdtemp(pattern);
        if (made == nullptr) {
            throw std::runtime_error("no temporary port directory");
        }
        path = made;
        setenv("TK358_PORT_DIR", made, 1);
    }
    ~TemporaryPortDirectory() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
    std::string path;
};

}  // namespace

const std::string& ScriptedPanel::PortDirectory() {
    static const TemporaryPortDirectory dir;
    return dir.path;
}

ScriptedPanel::ScriptedPanel(int comPort, Responder responder)
    : comPort_(comPort), responder_(std::move(responder)) {
    PortDirectory();
    OpenPty();
}

ScriptedPanel::~ScriptedPanel() {
    ClosePty();
    std::error_code ignored;
    fs::remove(fs::path(PortDirectory()) / ("COM" + std::to_string(comPort_)), ignored);
}

void ScriptedPanel::OpenPty() {
    char name[128] = {};
    int master = -1;
    int slave = -1;
    if (openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        throw std::runtime_error("openpty failed");
    }
    termios raw{};
    tcgetattr(slave, &raw);
    cfmakeraw(&raw);
    tcsetattr(slave, TCSANOW, &raw);
    if (pipe(wake_) != 0) {
        throw std::runtime_error("pipe failed");
    }
    const fs::path link = fs::path(PortDirectory()) / ("COM" + std::to_string(comPort_));
    std::error_code ignored;
    fs::remove(link, ignored);
    fs::create_symlink(name, link);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        master_ = master;
        slave_ = slave;
    }
    thread_ = std::thread(&ScriptedPanel::Run, this, master, wake_[0]);
}

void ScriptedPanel::ClosePty() {
    if (!thread_.joinable()) {
        return;
    }
    const char stop = 1;
    [[maybe_unused]] const ssize_t n = write(wake_[1], &stop, 1);
    thread_.join();
    std::lock_guard<std::mutex> lock(mutex_);
    for (int* fd : {&master_, &slave_, &wake_[0], &wake_[1]}) {
        close(*fd);
        *fd = -1;
    }
}

void ScriptedPanel::Vanish() {
    ClosePty();
}

void ScriptedPanel::Reappear() {
    ClosePty();
    OpenPty();
}

void ScriptedPanel::Run(int master, int wakeRead) {
    std::string line;
    for (;;) {
        pollfd fds[2] = {{wakeRead, POLLIN, 0}, {master, POLLIN, 0}};
        if (poll(fds, 2, -1) < 0) {
            continue;
        }
        if (fds[0].revents != 0) {
            return;
        }
        char chunk[256];
        const ssize_t n = read(master, chunk, sizeof chunk);
        if (n <= 0) {
            // The slave side has no opener left for a moment: wait, do not spin.
            poll(fds, 1, 10);
            continue;
        }
        for (ssize_t i = 0; i < n; ++i) {
            line.push_back(chunk[i]);
            if (line.size() >= 2 && line.ends_with("\r\n")) {
                Serve(line);
                line.clear();
            }
        }
    }
}

void ScriptedPanel::Serve(const std::string& line) {
    const std::string text = line.size() >= 4 ? line.substr(0, line.size() - 4) : std::string();
    const bool wellFormed = !text.empty() && BuildRequest(text).Text() == line;
    const std::string request = wellFormed ? text : "!" + line;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        requests_.push_back(request);
    }
    arrived_.notify_all();
    if (!wellFormed) {
        return;
    }
    std::string answer;
    for (const std::string& reply : responder_(request)) {
        answer += Compact(reply) + "\r\n";
    }
    Write(answer);
}

void ScriptedPanel::Send(const std::string& line) {
    Write(Compact(line) + "\r\n");
}

void ScriptedPanel::Write(const std::string& bytes) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::size_t done = 0;
    while (master_ >= 0 && done < bytes.size()) {
        const ssize_t n = write(master_, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno != EINTR && errno != EAGAIN) {
            return;
        }
        done += n > 0 ? static_cast<std::size_t>(n) : 0;
    }
}

std::vector<std::string> ScriptedPanel::Requests() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
}

void ScriptedPanel::ClearRequests() {
    std::lock_guard<std::mutex> lock(mutex_);
    requests_.clear();
}

bool ScriptedPanel::WaitForRequest(const std::function<bool(const std::string&)>& match,
                                   std::chrono::milliseconds limit) {
    std::unique_lock<std::mutex> lock(mutex_);
    return arrived_.wait_for(
        lock, limit, [&] { return std::any_of(requests_.begin(), requests_.end(), match); });
}

}  // namespace tk358::test
