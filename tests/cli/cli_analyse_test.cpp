#include "core/edid/edid_file.h"
#include "support/cli_runner.h"
#include "support/test_support.h"
#include "xml_check.h"

#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>

#include <gtest/gtest.h>

namespace pellam {
namespace {

using test::runCli;

// The item lines of a text report as (verdict, text) in order.
std::vector<std::pair<std::string, std::string>> textItems(const std::string& report) {
    std::vector<std::pair<std::string, std::string>> items;
    std::istringstream in(report);
    std::string line;
    const std::regex itemLine(R"(^(   PASS|\*\* FAIL|   SKIP)-> (.*)$)");
    std::smatch m;
    while (std::getline(in, line))
        if (std::regex_match(line, m, itemLine))
            items.emplace_back(m[1].str().substr(3), m[2].str());
    return items;
}

TEST(CliAnalyse, JsonHoldsEveryItemOfTheTextReportWithItsVerdict) {
    for (const auto& file : test::corpusFiles()) {
        SCOPED_TRACE(file.filename().string());
        const auto text = runCli({"analyse", "--60hz", "--hdtv", file.string()});
        const auto json =
            runCli({"analyse", "--60hz", "--hdtv", "--format", "json", file.string()});
        ASSERT_EQ(json.status, text.status);
        const nlohmann::json parsed = nlohmann::json::parse(json.out);
        ASSERT_EQ(parsed["files"].size(), 1u);
        const auto& result = parsed["files"][0];
        EXPECT_EQ(result["declarations"]["60hz"], true);
        EXPECT_EQ(result["declarations"]["3d"], false);
        const auto expected = textItems(text.out);
        ASSERT_EQ(result["items"].size(), expected.size());
        int fails = 0;
        for (std::size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(result["items"][i]["verdict"], expected[i].first) << i;
            EXPECT_EQ(result["items"][i]["text"], expected[i].second) << i;
            fails += expected[i].first == "FAIL";
        }
        EXPECT_EQ(result["counts"]["fail"], fails);
    }
}

TEST(CliAnalyse, SectionsAndNumbersNameTheItems) {
    test::TempDir dir;
    test::writeFile(dir.path() / "default.bin", formatRawBinary(std::span(hdmiDefaultImage()).first(256)));
    const auto json = runCli({"analyse", "--format=json", dir.file("default.bin")});
    const auto items = nlohmann::json::parse(json.out)["files"][0]["items"];
    EXPECT_EQ(items[0]["section"], "8-1");
    EXPECT_EQ(items[0]["number"], 0);
    bool sawVendor = false;
    for (const auto& item : items) {
        if (item["number"] == 29) {
            EXPECT_EQ(item["section"], "8-3");
            EXPECT_EQ(item["text"], "HDMI VSDB is present in EDID block 1");
        }
        sawVendor = sawVendor || item["section"] == "Vender Specific";
    }
    EXPECT_TRUE(sawVendor);
}

// What a strict XML reader accepts.
bool wellFormed(const std::string& xml) {
    test::XmlReader reader(xml);
    return reader.read().has_value();
}

TEST(CliAnalyse, JUnitHasOneFailurePerFailedItemAndAnErrorPerUnreadableFile) {
    const auto files = test::corpusFiles();
    ASSERT_GE(files.size(), 3u);
    const std::vector<std::string> paths = {files[0].string(), "missing.bin", files[1].string()};
    std::vector<std::string> args = {"analyse", "--format", "junit"};
    args.insert(args.end(), paths.begin(), paths.end());
    const auto junit = runCli(args);
    EXPECT_EQ(junit.status, 2) << "an unreadable file";
    EXPECT_TRUE(wellFormed(junit.out)) << junit.out;

    int failedItems = 0;
    for (const std::string& p : {paths[0], paths[2]})
        for (const auto& item : textItems(runCli({"analyse", p}).out))
            failedItems += item.first == "FAIL";
    const auto count = [&](const std::string& what) {
        int n = 0;
        for (std::size_t at = junit.out.find(what); at != std::string::npos;
             at = junit.out.find(what, at + 1))
            ++n;
        return n;
    };
    EXPECT_EQ(count("<failure "), failedItems);
    EXPECT_EQ(count("<error "), 1);
    EXPECT_NE(junit.err.find("missing.bin"), std::string::npos);
}

TEST(CliAnalyse, FoldersAndExitStatuses) {
    test::TempDir dir;
    EdidImage passing = hdmiDefaultImage();
    EdidImage failing = hdmiDefaultImage();
    failing[127] ^= 1; // a bad checksum fails 8-1
    std::filesystem::create_directories(dir.path() / "sub");
    test::writeFile(dir.path() / "b.bin", formatRawBinary(std::span(passing).first(256)));
    test::writeFile(dir.path() / "sub" / "a.txt", formatListText(std::span(passing).first(256)));
    test::writeFile(dir.path() / "notes.md", "not an EDID");

    const auto allPass = runCli({"analyse", dir.path().string()});
    EXPECT_EQ(allPass.status, 0);
    const auto b = allPass.out.find("==> " + dir.file("b.bin") + " <==");
    const auto a = allPass.out.find("==> " + (dir.path() / "sub" / "a.txt").string() + " <==");
    ASSERT_NE(b, std::string::npos);
    ASSERT_NE(a, std::string::npos);
    EXPECT_LT(b, a) << "sorted by path";
    EXPECT_EQ(allPass.out.find("notes.md"), std::string::npos);

    test::writeFile(dir.path() / "c.bin", formatRawBinary(std::span(failing).first(256)));
    EXPECT_EQ(runCli({"analyse", dir.path().string()}).status, 1);
    EXPECT_EQ(runCli({"analyse", dir.path().string(), dir.file("none.bin")}).status, 2);
    std::filesystem::create_directories(dir.path() / "empty");
    EXPECT_EQ(runCli({"analyse", dir.file("empty")}).status, 2) << "a folder without EDIDs";

    // One file: the report alone, no header line.
    const auto single = runCli({"analyse", dir.file("b.bin")});
    EXPECT_EQ(single.out.rfind("                 HDMI EDID content analyser\n", 0), 0u);
}

TEST(CliAnalyse, UsageErrors) {
    EXPECT_EQ(runCli({"analyse"}).status, 2);
    EXPECT_EQ(runCli({"analyse", "--format", "xml", "x.bin"}).status, 2);
    EXPECT_EQ(runCli({"analyse", "--bogus", "x.bin"}).status, 2);
    const auto help = runCli({"analyse", "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--format FORMAT"), std::string::npos);
    EXPECT_EQ(runCli({"--version"}).out.rfind("pellam-cli 1.4\nCopyright (c) 2026 The Pellam authors.\nMIT licence", 0), 0u);
}

} // namespace
} // namespace pellam
