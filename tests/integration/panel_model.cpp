#include "panel_model.h"

#include "link/frame.h"
#include "link/parameter_codes.h"

namespace tk358::test {

namespace {

uint32_t Hex(const std::string& text, std::size_t pos, std::size_t digits) {
    return static_cast<uint32_t>(std::stoul(text.substr(pos, digits), nullptr, 16));
}

}  // namespace

PanelModel::PanelModel(int kind, int firmware) : kind_(kind), firmware_(firmware) {
    for (int kindCodes = 0; kindCodes <= 4; ++kindCodes) {
        for (const int code : FullReadCodes(kindCodes)) {
            const auto format = WriteFormatOf(code);
            parameters_[code] = format ? Parameter{format->width, format->isSigned, 0}
                                       : Parameter{4, true, 0};  // the set point
        }
    }
    for (const int code : ThresholdExtraCodes()) {
        parameters_[code] = {2, true, 0};
    }
}

void PanelModel::SetSilent(bool silent) {
    std::lock_guard<std::mutex> lock(mutex_);
    silent_ = silent;
}

void PanelModel::SetBusy(bool busy) {
    std::lock_guard<std::mutex> lock(mutex_);
    busy_ = busy;
}

void PanelModel::SetWriteUnanswered(int code, bool unanswered) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (unanswered) {
        unansweredWrites_.insert(code);
    } else {
        unansweredWrites_.erase(code);
    }
}

void PanelModel::SetReadUnanswered(int code, bool unanswered) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (unanswered) {
        unansweredReads_.insert(code);
    } else {
        unansweredReads_.erase(code);
    }
}

int64_t PanelModel::ValueOf(const Parameter& p) {
    const int bits = 8 * p.width;
    const uint64_t mask = bits == 64 ? ~0ull : (1ull << bits) - 1;
    const uint64_t raw = p.bits & mask;
    if (p.isSigned && (raw >> (bits - 1)) != 0) {
        return static_cast<int64_t>(raw) - static_cast<int64_t>(1ull << bits);
    }
    return static_cast<int64_t>(raw);
}

int64_t PanelModel::Value(int code) const {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto it = parameters_.find(code);
    return it == parameters_.end() ? 0 : ValueOf(it->second);
}

void PanelModel::SetValue(int code, int64_t value) {
    std::lock_guard<std::mutex> lock(mutex_);
    parameters_[code].bits = static_cast<uint64_t>(value);
}

uint32_t PanelModel::CvPattern() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return cvPattern_;
}

int PanelModel::CvLock() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return cvLock_;
}

uint32_t PanelModel::ClockSeconds() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return clockSeconds_;
}

int PanelModel::MonitoringWord() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return monitoringWord_;
}

// Head, variant, firmware, 18-24, then digits 25, 26, 27-30 serial, 31, 32,
// 33 (bit 0: drain valve on variant 0), 34, 35.
std::string PanelModel::Identification() const {
    static constexpr int kVariants[] = {0, 0, 1, 5, 3};
    const std::string variant = HexText(static_cast<uint32_t>(kVariants[kind_]), 2);
    const std::string firmware = HexText(static_cast<uint32_t>(firmware_ / 100), 2) +
                                 HexText(static_cast<uint32_t>(firmware_ % 100), 2);
    const char* drain = kind_ == 1 ? "1" : "0";
    return "020A00:0358:" + variant + " " + firmware + " 0000000 0 0 04D2 0 0 " + drain + " 0 0 XX";
}

std::string PanelModel::ReadAnswer(int code) const {
    const std::string codeText = HexText(static_cast<uint32_t>(code), 4);
    const auto it = parameters_.find(code);
    if (it == parameters_.end()) {
        return "028600:" + codeText + ":01:00: XX";  // error bit
    }
    const Parameter& p = it->second;
    const uint64_t mask = p.width == 8 ? ~0ull : (1ull << (8 * p.width)) - 1;
    // Digit 15 bit 3: signed; digit 16: byte count.
    const std::string flags = std::string(p.isSigned ? "8" : "0") + std::to_string(p.width);
    std::string value;
    for (int i = p.width - 1; i >= 0; --i) {
        value += HexText(static_cast<uint32_t>(((p.bits & mask) >> (8 * i)) & 0xFF), 2);
    }
    return "028600:" + codeText + ":00:" + flags + ":" + value + " XX";
}

// "028700" data: code, byte index (0 the most significant), byte.
std::vector<std::string> PanelModel::WriteAnswer(const std::string& data) {
    const int code = static_cast<int>(Hex(data, 0, 4));
    const int index = static_cast<int>(Hex(data, 4, 2));
    const uint64_t byte = Hex(data, 6, 2);
    if (unansweredWrites_.count(code) != 0) {
        return {};
    }
    const auto it = parameters_.find(code);
    if (it == parameters_.end() || index >= it->second.width) {
        return {"028700:" + data + ":000 1 XX"};  // refused: digit 19 bit 0
    }
    const int shift = 8 * (it->second.width - 1 - index);
    it->second.bits = (it->second.bits & ~(0xFFull << shift)) | (byte << shift);
    return {"028700:" + data + ":000 0 XX"};
}

std::vector<std::string> PanelModel::Answer(const std::string& request) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (silent_ || request.size() < 6) {
        return {};
    }
    const std::string command = request.substr(0, 6);
    const std::string data = request.substr(6);
    if (command == "020A00") {
        return {Identification()};
    }
    if (command == "050100") {
        return {busy_ ? "050100: 0 1 XX" : "050100: 0 0 0 0 00 0 0 00 0 0001 0000 0 0 XX"};
    }
    if (command == "023000") {
        monitoringWord_ = static_cast<int>(Hex(data, 0, 4));
        return {"023000:00 XX"};
    }
    if (command == "028600") {
        const int code = static_cast<int>(Hex(data, 0, 4));
        if (unansweredReads_.count(code) != 0) {
            return {};
        }
        return {ReadAnswer(code)};
    }
    if (command == "028700") {
        return WriteAnswer(data);
    }
    if (command == "028100") {
        parameters_[0].bits = Hex(data, 0, 8);
        return {"028100:00 XX"};
    }
    if (command == "028400") {
        cvPattern_ = Hex(data, 0, 8);
        return {"028400:00 XX"};
    }
    if (command == "028500") {
        cvLock_ = static_cast<int>(Hex(data, 0, 2));
        return {"028500:00 XX"};
    }
    if (command == "031000") {
        clockSeconds_ = Hex(data, 0, 8);
        return {"031000:00 XX"};
    }
    return {};
}

}  // namespace tk358::test
