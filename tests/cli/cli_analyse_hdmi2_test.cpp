// pellam-cli analyse --hdmi2: the HDMI 2.x section in every output form, and
// nothing of it without the flag.
#include "support/cli_runner.h"
#include "support/test_support.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

namespace pellam {
namespace {

using test::runCli;

// A TV whose YCbCr 4:2:0 Video Data Block repeats two of its SVDs' VICs.
std::string tv() {
    return (std::filesystem::path(PELLAM_CORPUS_DIR) / "iwb_0000_smart-monitor_256.bin").string();
}

TEST(CliAnalyseHdmi2, TheSectionInTextJsonAndJUnit) {
    const auto text = runCli({"analyse", "--hdmi2", tv()});
    EXPECT_EQ(text.status, 1);
    EXPECT_NE(text.out.find("   Test : HDMI 2.x\n"), std::string::npos);
    EXPECT_NE(text.out.find("** FAIL-> 4:2:0-only VICs only in the YCbCr 4:2:0 Video Data Block, "
                            "not as SVDs (CTA-861-H 7.5.10): VIC 96, VIC 97\n"),
              std::string::npos);

    const auto json = runCli({"analyse", "--hdmi2", "--format", "json", tv()});
    const auto items = nlohmann::json::parse(json.out)["files"][0]["items"];
    int inSection = 0;
    int number = 112;
    for (const auto& item : items) {
        if (item["section"] != "HDMI 2.x")
            continue;
        EXPECT_EQ(item["number"], number++);
        ++inSection;
    }
    EXPECT_EQ(inSection, 22);

    const auto junit = runCli({"analyse", "--hdmi2", "--format", "junit", tv()});
    EXPECT_NE(junit.out.find("name=\"hdmi-2-x/112 Only one HDMI Forum VSDB or SCDB (HDMI 2.1 "
                             "10.3.2)\"/>"),
              std::string::npos);
    EXPECT_NE(junit.out.find("<failure message=\"4:2:0-only VICs only in the YCbCr 4:2:0 Video"),
              std::string::npos);
}

TEST(CliAnalyseHdmi2, WithoutTheFlagTheReportIsAsBefore) {
    const auto with = runCli({"analyse", "--hdmi2", tv()});
    const auto without = runCli({"analyse", tv()});
    EXPECT_EQ(without.out.find("HDMI 2.x"), std::string::npos);
    const std::size_t section = with.out.find("   \n\n\n   Test : HDMI 2.x");
    ASSERT_NE(section, std::string::npos);
    EXPECT_EQ(with.out.substr(0, section), without.out.substr(0, section));
    EXPECT_NE(runCli({"analyse", "--help"}).out.find("--hdmi2"), std::string::npos);
}

} // namespace
} // namespace pellam
