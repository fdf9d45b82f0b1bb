// Output that never breaks: names and bytes of any kind in messages, JSON and
// XML; write failures of standard output turned into exit status 2.
#include "cli/cli_support.h"
#include "cli/structured_output.h"
#include "cli_test_support.h"
#include "core/base_block/display_descriptor.h"
#include "core/edid/edid_file.h"
#include "support/fake_sysfs.h"
#include "support/test_support.h"
#include "xml_check.h"

#include <nlohmann/json.hpp>
#include <random>

#include <gtest/gtest.h>

namespace pellam {
namespace {

using test::runCli;

std::string hexOf(std::string_view raw) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    for (const char c : raw) {
        hex += kDigits[static_cast<unsigned char>(c) >> 4];
        hex += kDigits[static_cast<unsigned char>(c) & 15];
    }
    return hex;
}

std::string defaultEdid() {
    return formatRawBinary(std::span(hdmiDefaultImage()).first(256));
}

// Each writer keeps valid UTF-8 and shows every other byte as \xNN; what it
// gives is always accepted by a strict JSON parser and a strict XML reader.
TEST(CliText, EscapesAnyBytesForMessagesJsonAndXml) {
    const struct {
        const char* what;
        std::string raw;
        std::string shown; // displayText
        std::string json;  // jsonQuoted
        std::string xml;   // xmlEscaped
    } cases[] = {
        {"plain", "edid.bin", "edid.bin", "\"edid.bin\"", "edid.bin"},
        {"Latin-1 byte", "r\xFF.bin", "r\\xFF.bin", "\"r\\\\xFF.bin\"", "r\\xFF.bin"},
        {"overlong slash", "\xC0\xAF", "\\xC0\\xAF", "\"\\\\xC0\\\\xAF\"", "\\xC0\\xAF"},
        {"surrogate", "\xED\xA0\x80", "\\xED\\xA0\\x80", "\"\\\\xED\\\\xA0\\\\x80\"",
         "\\xED\\xA0\\x80"},
        {"past U+10FFFF", "\xF4\x90\x80\x80", "\\xF4\\x90\\x80\\x80",
         "\"\\\\xF4\\\\x90\\\\x80\\\\x80\"", "\\xF4\\x90\\x80\\x80"},
        {"cut sequence", "a\xE2\x82", "a\\xE2\\x82", "\"a\\\\xE2\\\\x82\"", "a\\xE2\\x82"},
        {"valid UTF-8", "\xE6\x97\xA5\xE6\x9C\xAC.bin", "\xE6\x97\xA5\xE6\x9C\xAC.bin",
         "\"\xE6\x97\xA5\xE6\x9C\xAC.bin\"", "\xE6\x97\xA5\xE6\x9C\xAC.bin"},
        {"line feed", "a\nb", "a\\x0Ab", "\"a\\nb\"", "a&#10;b"},
        {"control", std::string("\x01\x7F", 2), "\\x01\\x7F", "\"\\u0001\\u007F\"", "\\x01\\x7F"},
        {"NUL", std::string("a\0b", 3), "a\\x00b", "\"a\\u0000b\"", "a\\x00b"},
        {"markup", "<&\"'>", "<&\"'>", "\"<&\\\"'>\"", "&lt;&amp;&quot;&apos;&gt;"},
        {"non-character", "\xEF\xBF\xBE", "\xEF\xBF\xBE", "\"\xEF\xBF\xBE\"", "\\xEF\\xBF\\xBE"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(cli::displayText(c.raw), c.shown);
        EXPECT_EQ(cli::jsonQuoted(c.raw), c.json);
        EXPECT_EQ(cli::xmlEscaped(c.raw), c.xml);
        EXPECT_TRUE(cli::isValidUtf8(cli::displayText(c.raw)));
        EXPECT_NO_THROW(nlohmann::json::parse(cli::jsonQuoted(c.raw)));
        const std::string document =
            "<a b=\"" + cli::xmlEscaped(c.raw) + "\">" + cli::xmlEscaped(c.raw) + "</a>";
        test::XmlReader reader(document);
        EXPECT_TRUE(reader.read()) << reader.error();
    }
}

// A batch of files with names and contents of every kind: one bad file
// loses nothing but itself, and JSON and JUnit stay well-formed.
TEST(CliAnalyse, ReportsOnFilesOfAnyNameAndContent) {
    test::TempDir dir;
    std::mt19937 random(20261208);
    std::string noise(3000, '\0');
    for (char& c : noise)
        c = static_cast<char>(random());
    const struct {
        std::string name;
        std::string contents;
        bool readable;
    } files[] = {
        {"a-r\xFF.txt", noise, false},
        {"b-\xC3\x28.bin", defaultEdid(), true},
        {"c-ok\x01name.bin", defaultEdid(), true},
        {"d-\xE6\x97\xA5.bin", defaultEdid(), true},
        {"e-bad.txt", "00 FF \xB9\xFE zz", false},
    };
    for (const auto& f : files)
        test::writeFile(dir.path() / f.name, f.contents);

    const auto json = runCli({"analyse", "--format", "json", dir.path().string()});
    EXPECT_EQ(json.status, 2) << "two files cannot be read";
    nlohmann::json parsed;
    ASSERT_NO_THROW(parsed = nlohmann::json::parse(json.out)) << json.out.substr(0, 2000);
    ASSERT_EQ(parsed["files"].size(), std::size(files));
    EXPECT_EQ(parsed["totals"]["unreadable"], 2);
    for (std::size_t i = 0; i < std::size(files); ++i) {
        SCOPED_TRACE(cli::displayText(files[i].name));
        const auto& record = parsed["files"][i];
        const std::string path = (dir.path() / files[i].name).string();
        EXPECT_EQ(record["verdict"] == "ERROR", !files[i].readable);
        // Control characters are exact in JSON; only what is no UTF-8 is escaped.
        EXPECT_EQ(record["file"], cli::isValidUtf8(path) ? path : cli::displayText(path));
        if (cli::isValidUtf8(path)) {
            EXPECT_FALSE(record.contains("file-hex"));
        } else {
            EXPECT_EQ(record["file-hex"], hexOf(path));
        }
        EXPECT_EQ(record["items"].empty(), !files[i].readable);
    }
    EXPECT_NE(json.err.find("e-bad.txt: item 3: '0x\\xB9\\xFE'"), std::string::npos) << json.err;

    const auto junit = runCli({"analyse", "--format", "junit", dir.path().string()});
    EXPECT_EQ(junit.status, 2);
    test::XmlReader reader(junit.out);
    const auto root = reader.read();
    ASSERT_TRUE(root) << reader.error();
    EXPECT_EQ(root->all("testsuite").size(), std::size(files));
    EXPECT_EQ(root->attributes.at("errors"), "2");

    const auto text = runCli({"analyse", dir.path().string()});
    EXPECT_TRUE(cli::isValidUtf8(text.out));
    EXPECT_TRUE(cli::isValidUtf8(text.err));
    EXPECT_NE(text.out.find("==> " + cli::displayText((dir.path() / "c-ok\x01name.bin").string())),
              std::string::npos);
}

TEST(CliDisplays, JsonHoldsMonitorNamesOfAnyBytes) {
    EdidImage image = hdmiDefaultImage();
    const DtdSlot name = descriptorSlot(image, 3); // the monitor name descriptor
    ASSERT_EQ(name[3], 0xFC);
    name[5] = 0x80;
    name[6] = 0xFF;
    name[7] = 0x01;
    test::FakeSysfs sysfs;
    sysfs.connectorOnBus("card0-HDMI-A-1", "connected",
                         formatRawBinary(std::span(image).first(256)), "i2c-5");
    const test::ScopedEnv root("PELLAM_SYSFS_ROOT", sysfs.root().string());
    const auto run = runCli({"displays", "--json"});
    ASSERT_EQ(run.status, 0) << run.err;
    nlohmann::json parsed;
    ASSERT_NO_THROW(parsed = nlohmann::json::parse(run.out)) << run.out;
    const std::string monitor = parsed[0]["monitor"];
    EXPECT_EQ(monitor.rfind("\\x80\\xFF\x01", 0), 0u) << monitor;
    const auto text = runCli({"displays"});
    EXPECT_NE(text.out.find("\\x80\\xFF\\x01"), std::string::npos) << text.out;
}

// Whatever a verb writes to standard output, a refused write is exit status
// 2 with the reason, never a success.
TEST(CliOutput, AWriteFailureOfStandardOutputExitsWith2) {
    test::TempDir dir;
    const std::string edid = dir.file("edid.bin");
    test::writeFile(edid, defaultEdid());
    test::FakeSysfs sysfs;
    sysfs.connectorOnBus("card0-HDMI-A-1", "connected", defaultEdid(), "i2c-5");
    const test::ScopedEnv root("PELLAM_SYSFS_ROOT", sysfs.root().string());
    const std::vector<std::vector<std::string>> runs = {
        {"analyse", edid},
        {"analyse", "--format", "json", edid},
        {"analyse", "--format", "junit", edid},
        {"analyse", "-q", edid},
        {"convert", edid, "-"},
        {"edit", edid, "-", "--set", "week=5"},
        {"displays"},
        {"--help"},
        {"--version"},
        {"analyse", "--help"},
    };
    for (const auto& args : runs) {
        SCOPED_TRACE(args[0] + " " + args.back());
        const auto run = test::runCliIntoRefusingOutput(args);
        EXPECT_EQ(run.status, 2);
        EXPECT_NE(run.err.find("cannot write standard output"), std::string::npos) << run.err;
    }
    // The program itself on a full disk, and when all is well.
    if (std::filesystem::exists("/dev/full")) {
        EXPECT_EQ(test::shellStatus(test::cliBinary() + " analyse '" + edid + "' >/dev/full 2>/dev/null"), 2);
        EXPECT_EQ(test::shellStatus(test::cliBinary() + " --version >/dev/full 2>/dev/null"), 2);
    }
    EXPECT_EQ(test::shellStatus(test::cliBinary() + " analyse -q '" + edid + "' >/dev/null"), 0);
}

} // namespace
} // namespace pellam
