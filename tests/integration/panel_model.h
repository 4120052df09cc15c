#pragma once

// The behaviour of a panel of one kind, enough to answer every request the
// session sends: identification, panel information, monitoring mode, parameter
// reads and byte-wise writes, set point, CV, CV lock and clock. Answers follow
// the layouts the session decodes; switches make the panel silent, busy or
// refuse writes to chosen codes.

#include <cstdint>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace tk358::test {

class PanelModel {
public:
    // `kind` 0-4 as the session's device types; `firmware` as major * 100 + minor.
    explicit PanelModel(int kind, int firmware = 105);

    std::vector<std::string> Answer(const std::string& request);

    void SetSilent(bool silent);
    void SetBusy(bool busy);
    // Writes of `code` are not answered (as a panel that misses the frame).
    void SetWriteUnanswered(int code, bool unanswered);
    // Reads of `code` are not answered.
    void SetReadUnanswered(int code, bool unanswered);

    // The panel's stored value of `code`, as the session would read it.
    int64_t Value(int code) const;
    void SetValue(int code, int64_t value);
    uint32_t CvPattern() const;
    int CvLock() const;
    uint32_t ClockSeconds() const;
    int MonitoringWord() const;

private:
    struct Parameter {
        int width = 2;
        bool isSigned = true;
        uint64_t bits = 0;
    };

    std::string Identification() const;
    std::string ReadAnswer(int code) const;
    std::vector<std::string> WriteAnswer(const std::string& data);
    static int64_t ValueOf(const Parameter& p);

    mutable std::mutex mutex_;
    const int kind_;
    const int firmware_;
    bool silent_ = false;
    bool busy_ = false;
    std::set<int> unansweredWrites_;
    std::set<int> unansweredReads_;
    std::map<int, Parameter> parameters_;
    uint32_t cvPattern_ = 0;
    int cvLock_ = 0;
    uint32_t clockSeconds_ = 0;
    int monitoringWord_ = 0;
};

}  // namespace tk358::test
