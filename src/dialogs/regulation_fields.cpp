#include "dialogs/regulation_fields.h"

#include "dialogs/number_entry.h"

namespace tk358 {

std::optional<int> CheckField(const FieldRule& rule, std::string_view text) {
    const int value =
        rule.entry == FieldRule::Entry::Tenths ? ParseScaled(text, 10) : ParseInteger(text);
    if (value < rule.min || value > rule.max) {
        return std::nullopt;
    }
    return value;
}

}  // namespace tk358
