// Input like a Unix tool: - for standard input and output, forms told by the
// extension in any case or by the content, the arguments read the same way by
// every verb.
#include "cli_test_support.h"
#include "core/edid/edid_file.h"
#include "core/edid/hex.h"
#include "support/test_support.h"

#include <filesystem>
#include <unistd.h>

#include <gtest/gtest.h>

namespace pellam {
namespace {

using test::runCli;
using test::runCliWithInput;

const std::string kEdid = formatRawBinary(std::span(hdmiDefaultImage()).first(256));
const std::string kEdidText = formatListText(std::span(hdmiDefaultImage()).first(256));

// The working folder while the object lives.
class ScopedCwd {
public:
    explicit ScopedCwd(const std::filesystem::path& dir)
        : m_previous(std::filesystem::current_path()) {
        std::filesystem::current_path(dir);
    }
    ~ScopedCwd() { std::filesystem::current_path(m_previous); }
    ScopedCwd(const ScopedCwd&) = delete;
    ScopedCwd& operator=(const ScopedCwd&) = delete;

private:
    std::filesystem::path m_previous;
};

TEST(CliStreams, DashIsStandardInputAndOutput) {
    test::TempDir dir;
    test::writeFile(dir.file("in.bin"), kEdid);
    const std::string report = runCli({"analyse", dir.file("in.bin")}).out;
    std::string quiet = runCli({"analyse", "-q", dir.file("in.bin")}).out;
    quiet.replace(quiet.rfind(' ') + 1, std::string::npos, "standard input\n");
    const std::string rebuilt = (runCli({"rebuild", dir.file("in.bin"), dir.file("r.bin")}),
                                 test::readFile(dir.file("r.bin")));
    std::string week7 = kEdid;
    week7[16] = 7;
    week7[127] = static_cast<char>(week7[127] - (7 - kEdid[16]));
    const struct {
        std::vector<std::string> args;
        std::string input;
        int status;
        std::string out;
    } cases[] = {
        {{"convert", "-", "-"}, kEdid, 0, kEdid},
        {{"convert", "--output-format", "hex", "-", "-"}, kEdid, 0, kEdidText},
        {{"convert", "-", "-"}, kEdidText, 0, kEdid},
        {{"convert", dir.file("in.bin"), "-"}, "", 0, kEdid},
        {{"rebuild", "-", "-"}, kEdid, 0, rebuilt},
        {{"edit", "-", "-", "--set", "week=7"}, kEdid, 0, week7},
        {{"analyse", "-"}, kEdid, 0, report},
        {{"analyse", "-q", "-"}, kEdid, 0, quiet},
        {{"analyse", "-", "-"}, kEdid, 2, ""},
        {{"convert", "-", "-"}, "", 2, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[0] + " " + c.args[1] + " <" + std::to_string(c.input.size()));
        const auto run = runCliWithInput(c.args, c.input);
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_EQ(run.out, c.out);
    }
}

// The form comes from the extension in any case, else from the content; a
// given --input-format wins over both.
TEST(CliInput, TheFormIsToldByTheExtensionInAnyCaseOrByTheContent) {
    test::TempDir dir;
    std::string lines;
    for (const char c : kEdid)
        lines += hexByte(static_cast<Byte>(c)) + " ; byte\n";
    std::filesystem::create_directories(dir.path() / "card0-HDMI-A-1.d");
    const struct {
        std::string name;
        std::string contents;
        std::vector<std::string> options;
        std::string error; // empty: reads as the default EDID
    } cases[] = {
        {"edid", kEdid, {}, ""},
        {"edid-text", kEdidText, {}, ""},
        {"card0-HDMI-A-1.d/edid", kEdid, {}, ""},
        {"EDID.BIN", kEdid, {}, ""},
        {"edid.Bin", kEdid, {}, ""},
        {"edid.Dat", kEdid, {}, ""},
        {"edid.TXT", kEdidText, {}, ""},
        {"edid.DDC", lines, {}, ""},
        {"monitor.edid", kEdid, {}, ""},
        {"dump.txt", kEdid, {"--input-format", "bin"}, ""},
        {"dump.bin", kEdidText, {"--input-format", "hex"}, ""},
        {"noise", std::string(256, '\x01'), {}, "not an EDID file: neither binary"},
        {"notes.md", "# EDIDs of the lab\n", {}, "not an EDID file: neither binary"},
        {"dump.txt", kEdid, {"--input-format", "raw"}, "--input-format takes bin, hex or ddc"},
        {"empty", "", {}, "The file is empty"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name + " " + (c.options.empty() ? "" : c.options[1]));
        test::writeFile(dir.path() / c.name, c.contents);
        std::vector<std::string> args = {"convert"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        args.push_back(dir.file(c.name));
        args.push_back("-");
        const auto run = runCli(args);
        if (c.error.empty()) {
            EXPECT_EQ(run.status, 0) << run.err;
            EXPECT_EQ(run.out, kEdid);
        } else {
            EXPECT_EQ(run.status, 2);
            EXPECT_NE(run.err.find(c.error), std::string::npos) << run.err;
            EXPECT_EQ(run.out, "");
        }
        std::filesystem::remove(dir.path() / c.name);
    }
    const auto missing = runCli({"convert", dir.file("missing"), "-"});
    EXPECT_EQ(missing.err, "pellam-cli: " + dir.file("missing") + ": No such file or directory\n");
}

TEST(CliAnalyse, EveryFileOfABatchIsNamedAndReported) {
    test::TempDir dir;
    test::writeFile(dir.file("a-good.Bin"), kEdid);
    test::writeFile(dir.file("b-bad.txt"), "00 FF FF xyz");
    test::writeFile(dir.file("c-edid"), kEdid);
    test::writeFile(dir.file("d.DDC"), "00\nFF\nFF\nFF\nFF\nFF\nFF\n00\n");
    test::writeFile(dir.file("README.md"), "notes");
    const auto run = runCli({"analyse", dir.path().string()});
    EXPECT_EQ(run.status, 2);
    for (const char* name : {"a-good.Bin", "b-bad.txt", "c-edid", "d.DDC"})
        EXPECT_NE(run.out.find("==> " + dir.file(name) + " <=="), std::string::npos) << name;
    EXPECT_EQ(run.out.find("README"), std::string::npos);
    EXPECT_NE(run.err.find("pellam-cli: " + dir.file("b-bad.txt") + ": item 4: '0xxyz' is not a "
                                                                    "valid integer value"),
              std::string::npos)
        << run.err;
    const auto quiet = runCli({"analyse", "-q", dir.path().string()});
    EXPECT_NE(quiet.out.find("ERROR pass=0 fail=0 skip=0 waived=0 " + dir.file("b-bad.txt")),
              std::string::npos)
        << quiet.out;
}

// Options are refused before anything is read or written; -- ends them.
TEST(CliArguments, EveryVerbReadsItsArgumentsTheSameWay) {
    test::TempDir dir;
    const std::string in = dir.file("in.bin");
    const std::string out = dir.file("out.bin");
    test::writeFile(in, kEdid);
    test::writeFile(dir.file("-odd.bin"), kEdid);
    const ScopedCwd cwd(dir.path());
    const struct {
        std::vector<std::string> args;
        int status;
        std::string err; // the start of the first line; empty: no message
    } cases[] = {
        {{"analyse", "-q", in}, 0, ""},
        {{"analyse", in, "--quiet"}, 0, ""},
        {{"analyse", "-v", in}, 0, ""},
        {{"analyse", "--format=json", in}, 0, ""},
        {{"analyse", "-q", "--", "-odd.bin"}, 0, ""},
        {{"convert", "--", "-odd.bin", out}, 0, ""},
        {{"analyse", "-q", "-odd.bin"}, 2, "pellam-cli: unknown option '-odd.bin' for analyse"},
        {{"analyse", "--output-count", "-5", in}, 2, "pellam-cli: --output-count takes a number "
                                                     "from 0 to 255, not '-5'"},
        {{"analyse", "--output-count", "256", in}, 2, "pellam-cli: --output-count takes"},
        {{"analyse", "--output-count", "3", in}, 0, ""},
        {{"analyse", in, "--bogus"}, 2, "pellam-cli: unknown option '--bogus' for analyse"},
        {{"analyse", "-q", "--format", "json", in}, 2, "pellam-cli: --quiet gives lines of text"},
        {{"analyse", "--format"}, 2, "pellam-cli: --format needs a value"},
        {{"analyse", "--60hz=yes", in}, 2, "pellam-cli: --60hz takes no value"},
        {{"convert", in, out, "--bogus"}, 2, "pellam-cli: unknown option '--bogus' for convert"},
        {{"rebuild", "-x", in, out}, 2, "pellam-cli: unknown option '-x' for rebuild"},
        {{"edit", in, out, "--set", "week=5", "-x"}, 2, "pellam-cli: unknown option '-x' for edit"},
        {{"edit", in, out, "--serial-step", "-1", "--set", "week=5"}, 2,
         "pellam-cli: --serial-step takes a number"},
        {{"displays", "extra"}, 2, "pellam-cli: displays takes no file"},
        {{"displays", "-j"}, 2, "pellam-cli: unknown option '-j' for displays"},
    };
    for (const auto& c : cases) {
        std::string line;
        for (const auto& a : c.args)
            line += a + " ";
        SCOPED_TRACE(line);
        std::filesystem::remove(out);
        const auto run = runCli(c.args);
        EXPECT_EQ(run.status, c.status) << run.err;
        if (c.err.empty()) {
            EXPECT_EQ(run.err, "");
        } else {
            EXPECT_EQ(run.err.rfind(c.err, 0), 0u) << run.err;
            EXPECT_EQ(run.out, "");
            EXPECT_FALSE(std::filesystem::exists(out));
        }
    }
    ASSERT_EQ(runCli({"convert", "--", "-odd.bin", out}).status, 0);
    EXPECT_EQ(test::readFile(out), kEdid) << "convert -- -odd.bin out.bin";
    // --help anywhere before -- is the verb's help.
    EXPECT_EQ(runCli({"edit", in, "--help"}).out.rfind("Usage: pellam-cli edit", 0), 0u);
}

// analyse --port reads the sink as the window's "Source from DDC" does.
TEST(CliAnalyse, ReadsTheSinkOverI2c) {
    test::TempDir dir;
    test::writeFile(dir.file("sink.bin"), kEdid);
    const auto file = runCli({"analyse", "-q", dir.file("sink.bin")});
    const auto sink = runCli({"analyse", "-q", "--port", "usb", "--simulate", dir.file("sink.bin")});
    EXPECT_EQ(sink.status, file.status) << sink.err;
    EXPECT_EQ(sink.out, file.out.substr(0, file.out.rfind(' ')) +
                            " slave address A0h on USB (simulated)\n");
    const auto ddc = runCli({"analyse", "--format", "json", "--port", "DDC", "--connector",
                             "card1-DP-2", "--simulate", dir.file("sink.bin")});
    EXPECT_NE(ddc.out.find("\"file\": \"slave address A0h on card1-DP-2 (simulated)\""),
              std::string::npos);
    EXPECT_NE(ddc.out.find("\"source\": \"sink\""), std::string::npos);
    const auto silent = runCli(
        {"analyse", "-q", "--port", "usb", "--slave", "A2", "--simulate", dir.file("sink.bin")});
    EXPECT_EQ(silent.status, 2);
    EXPECT_EQ(silent.err, "pellam-cli: No answer from the sink at slave address A2h on USB. "
                          "Nothing was analysed.\n");
    EXPECT_EQ(runCli({"analyse", "--connector", "card0-DP-1", dir.file("sink.bin")}).err,
              "pellam-cli: --connector goes with --port DDC\nTry 'pellam-cli --help'.\n");
}

} // namespace
} // namespace pellam
