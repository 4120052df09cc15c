// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The numbered parameters a simulated panel keeps: which codes a kind knows,
// their width and sign on the wire, their default values, and the store that
// holds them.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tk358::sim {

struct ParameterSpec {
    int code = 0;
    int width = 0;            // bytes, 1..4
    bool readSigned = false;  // sign flag of the read answer
    bool writable = true;     // false: only read through "028600" (set point, code 0)
};

// The width and sign of `code` for a panel of `kind` with `firmwareVersion`; none when
// the panel does not know the code. A threshold regulator with firmware 1.00
// or older has no night set, no day start and no channel count.
std::optional<ParameterSpec> FindParameter(int kind, int firmwareVersion, int code);

// Every code the panel knows, ascending.
std::vector<int> KnownCodes(int kind, int firmwareVersion);

// `value` as the panel sends it: 2 x width upper-case digits of the value
// modulo 256^width, most significant byte first.
std::string WireDigits(int64_t value, int width);

// The value a committed run of bytes stands for: sign-extended when signed.
int64_t ValueFromBytes(uint64_t raw, int width, bool isSigned);

class ParameterStore {
public:
    ParameterStore() = default;
    // Every known code of the panel with its factory default.
    ParameterStore(int kind, int firmwareVersion);

    bool Has(int code) const { return values_.count(code) != 0; }
    // 0 for an unknown code.
    int64_t Get(int code) const;
    // False (and nothing stored) for an unknown code. The value is cut to the
    // code's width and read with the sign of its read answer, as it travels.
    bool Set(int code, int64_t value);

private:
    int kind_ = 0;
    int firmwareVersion_ = 0;
    std::map<int, int64_t> values_;
};

}  // namespace tk358::sim
