#include "core/edid/hex.h"

#include <gtest/gtest.h>

namespace pellam {
namespace {

TEST(HexByte, IsTwoUpperCaseDigits) {
    EXPECT_EQ(hexByte(0x00), "00");
    EXPECT_EQ(hexByte(0x0A), "0A");
    EXPECT_EQ(hexByte(0xAF), "AF");
    EXPECT_EQ(hexByte(0xFF), "FF");
}

TEST(ParseHexNumber, AcceptsOnlyPlainHexDigitsWithin32Bits) {
    const std::pair<const char*, std::optional<std::uint32_t>> cases[] = {
        {"0", 0u},
        {"ff", 0xFFu},
        {"1FF", 0x1FFu},
        {"00000000000A", 0x0Au}, // leading zeros do not overflow
        {"FFFFFFFF", 0xFFFFFFFFu},
        {"100000000", std::nullopt},
        {"", std::nullopt},
        {"0x10", std::nullopt},
        {"$10", std::nullopt},
        {"-1", std::nullopt},
        {"+1", std::nullopt},
        {" 1", std::nullopt},
        {"1 ", std::nullopt},
        {"G", std::nullopt},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(parseHexNumber(text), expected) << '"' << text << '"';
}

TEST(InvalidIntegerMessage, QuotesTheTextAsConverted) {
    EXPECT_EQ(invalidIntegerMessage("0xZZ"), "'0xZZ' is not a valid integer value");
    EXPECT_EQ(invalidIntegerMessage("0x"), "'0x' is not a valid integer value");
}

} // namespace
} // namespace pellam
