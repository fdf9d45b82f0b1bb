#include "core/edid/decimal.h"

#include <algorithm>

namespace pellam {

bool isDigitsOnly(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::optional<std::int32_t> parseDecimalInt32(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (!isDigitsOnly(text))
        return std::nullopt;
    std::int64_t value = 0;
    for (char c : text) {
        value = value * 10 + (c - '0');
        if (value > std::int64_t{INT32_MAX} + 1)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value > INT32_MAX || value < INT32_MIN)
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

std::optional<int> digitsValue(std::string_view text) {
    if (!isDigitsOnly(text))
        return std::nullopt;
    return parseDecimalInt32(text);
}

} // namespace pellam
