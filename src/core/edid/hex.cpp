#include "core/edid/hex.h"

namespace pellam {

int hexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

std::string hexByte(Byte value) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    return {kDigits[value >> 4], kDigits[value & 0x0F]};
}

std::string hexByteH(Byte value) {
    return hexByte(value) + "h";
}

std::optional<std::uint32_t> parseHexNumber(std::string_view text) {
    if (text.empty())
        return std::nullopt;
    std::uint32_t value = 0;
    for (char c : text) {
        const int digit = hexDigitValue(c);
        if (digit < 0)
            return std::nullopt;
        if (value > 0x0FFFFFFFu) // a further digit would not fit in 32 bits
            return std::nullopt;
        value = (value << 4) | static_cast<std::uint32_t>(digit);
    }
    return value;
}

std::string invalidIntegerMessage(std::string_view shown) {
    std::string message = "'";
    message += shown;
    message += "' is not a valid integer value";
    return message;
}

} // namespace pellam
