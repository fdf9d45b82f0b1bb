// Decimal numbers as users type them into edits.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace pellam {

// An optional sign followed by decimal digits, within 32 bits.
std::optional<std::int32_t> parseDecimalInt32(std::string_view text);

// Digits only (no sign), as the count and size edits accept; empty fails too.
bool isDigitsOnly(std::string_view text);

// The value of a digits-only text within 32 bits; nothing for an empty text,
// a sign or any other character.
std::optional<int> digitsValue(std::string_view text);

} // namespace pellam
