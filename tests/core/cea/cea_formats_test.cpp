#include "core/cea/cea_formats.h"

#include <string>

#include <gtest/gtest.h>

namespace pellam {
namespace {

// Cross-checks each row's numbers against its own name, which catches a
// transcription slip in either.
TEST(CeaFormatTable, RowsAgreeWithTheirNames) {
    const auto& table = ceaFormatTable();
    for (int i = 0; i < kCeaFormatCount; ++i) {
        const CeaFormat& row = table[static_cast<std::size_t>(i)];
        const std::string name = row.name;
        SCOPED_TRACE(name);
        EXPECT_EQ(row.vic, i + 1);
        EXPECT_EQ(row.aspect, name.find("4:3") != std::string::npos ? 1.33f : 1.78f);
        const std::size_t x = name.find('x');
        ASSERT_NE(x, std::string::npos);
        const char scan = name[name.find_first_not_of("0123456789", x + 1)];
        EXPECT_EQ(row.interlaced, scan == 'i');
        const int lines = std::stoi(name.substr(x + 1));
        EXPECT_EQ(row.vActive, row.interlaced ? lines / 2 : lines);
        // The active width is the number in brackets when the name has one
        // ("720(1440)x480i", "(2880)x480i"), else the leading number.
        const std::size_t open = name.find('(');
        const int width = open != std::string::npos && open < x ? std::stoi(name.substr(open + 1))
                                                                : std::stoi(name);
        EXPECT_EQ(row.hActive, width);
        EXPECT_GT(row.hTotal, row.hActive);
    }
    EXPECT_EQ(table[3].pixelClockMHz, 74.25f);
    EXPECT_EQ(table[45].pixelClockMHz, 148.352f);
}

TEST(VideoFormatNames, CoverEveryDefinedVic) {
    const std::pair<int, std::optional<std::string_view>> cases[] = {
        {1, "640x480p 59.94/60Hz 4:3"},
        {59, "720(1440)x480i 239.76/240Hz 16:9"},
        {60, "1280x720p 24Hz 16:9"},
        {97, "3840x2160p 59.94/60Hz 16:9"},
        {102, "4096x2160p 59.94/60Hz 256:135"},
        {127, "5120x2160p 100Hz 64:27"},
        {193, "5120x2160p 119.88/120Hz 64:27"},
        {219, "4096x2160p 119.88/120Hz 256:135"},
        {0, std::nullopt},
        {128, std::nullopt},
        {192, std::nullopt},
        {220, std::nullopt},
    };
    for (const auto& [vic, name] : cases)
        EXPECT_EQ(videoFormatName(vic), name) << vic;
    const auto vics = definedVics();
    EXPECT_EQ(vics.size(), 127u + 27u);
    for (const int vic : vics)
        EXPECT_TRUE(videoFormatName(vic)) << vic;
}

} // namespace
} // namespace pellam
