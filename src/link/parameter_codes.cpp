// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/parameter_codes.h"

#include "link/frame.h"
#include "link/records.h"

namespace tk358 {

const ParameterInfo* FindParameterByKey(std::string_view key) {
    for (const ParameterInfo& info : param_table::kParameters) {
        if (key == info.key) {
            return &info;
        }
    }
    return nullptr;
}

std::optional<ParameterWriteFormat> WriteFormatOf(int code) {
    const ParameterInfo* info = FindParameter(code);
    if (info == nullptr || info->wire.transport != Transport::kParameter) {
        return std::nullopt;
    }
    return info->wire.format;
}

std::vector<std::string> ParameterByteTexts(int code, int64_t value) {
    const std::optional<ParameterWriteFormat> format = WriteFormatOf(code);
    if (!format) {
        return {};
    }
    const auto bits = static_cast<uint64_t>(value);
    std::vector<std::string> bytes;
    for (int i = format->width - 1; i >= 0; --i) {
        bytes.push_back(HexText(static_cast<uint32_t>((bits >> (8 * i)) & 0xFFu), 2));
    }
    return bytes;
}

}  // namespace tk358
