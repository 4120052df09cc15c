#pragma once

// A stand-in panel on the master side of a pseudo-terminal, registered as COMn
// in a temporary port directory. It cuts the session's request lines, checks
// each one's checksum and CR LF, records it and answers it through a responder.

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tk358::test {

// Lines are written with spaces between fields for reading; they are removed
// before sending.
std::string Compact(std::string text);

class ScriptedPanel {
public:
    // Answer lines (without CR LF) for one request given as command and data
    // digits. An empty list leaves the request unanswered.
    using Responder = std::function<std::vector<std::string>(const std::string& request)>;

    ScriptedPanel(int comPort, Responder responder);
    ~ScriptedPanel();
    ScriptedPanel(const ScriptedPanel&) = delete;
    ScriptedPanel& operator=(const ScriptedPanel&) = delete;

    // Requests received so far as command and data digits; a line whose
    // checksum or line end is wrong is recorded as "!" followed by the line.
    std::vector<std::string> Requests() const;
    void ClearRequests();
    // Waits until a request satisfying `match` has arrived since the last clear.
    bool WaitForRequest(const std::function<bool(const std::string&)>& match,
                        std::chrono::milliseconds limit);
    // Sends one unrequested line, CR LF appended.
    void Send(const std::string& line);

    // Closes the pseudo-terminal, as when an adapter is pulled out. The COMn
    // entry stays, dangling, so opening the port fails until Reappear.
    void Vanish();
    // A new pseudo-terminal under the same COMn entry.
    void Reappear();

    // The port directory every scripted panel of this process registers in.
    static const std::string& PortDirectory();

private:
    void OpenPty();
    void ClosePty();
    void Run(int master, int wakeRead);
    void Serve(const std::string& line);
    void Write(const std::string& bytes);

    const int comPort_;
    Responder responder_;

    mutable std::mutex mutex_;  // guards requests_, master_ and ends the reader
    std::condition_variable arrived_;
    std::vector<std::string> requests_;
    int master_ = -1;
    int slave_ = -1;          // kept open so the master never sees a hang-up of its own
    int wake_[2] = {-1, -1};  // pipe that stops the thread
    std::thread thread_;
};

}  // namespace tk358::test
