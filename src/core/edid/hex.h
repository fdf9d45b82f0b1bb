// Hexadecimal text as users type and read it: bytes shown as two upper-case
// digits, numbers typed without prefix or sign.
#pragma once

#include "core/edid/bits.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pellam {

// The value of one hexadecimal digit (0-9, A-F, a-f), or -1.
int hexDigitValue(char c);

// Exactly two upper-case hexadecimal digits.
std::string hexByte(Byte value);
// The same digits followed by "h", as messages name bytes and addresses: "A0h".
std::string hexByteH(Byte value);

// A hexadecimal number of digits 0-9, A-F, a-f only (no prefix, sign or
// blank) whose value fits in 32 bits; leading zeros are allowed.
std::optional<std::uint32_t> parseHexNumber(std::string_view text);

// "'<shown>' is not a valid integer value": the message for any text that
// does not convert to a number. Callers pass the text as it was converted,
// for hexadecimal input with "0x" in front.
std::string invalidIntegerMessage(std::string_view shown);

} // namespace pellam
