// Full reports compared line by line with files checked by hand against the
// rules. golden/cases.tsv lists each case: the expected-output file, the
// exit status, and the pellam-cli analyse arguments, where @hdmi-default and
// @dp-default stand for the built-in images and other file names are looked
// up in the corpus.
#include "core/edid/edid_file.h"
#include "support/cli_runner.h"
#include "support/test_support.h"

#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

namespace pellam {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> splitTabs(const std::string& line) {
    std::vector<std::string> fields;
    std::stringstream in(line);
    std::string field;
    while (std::getline(in, field, '\t'))
        fields.push_back(field);
    return fields;
}

TEST(GoldenReports, MatchLineForLine) {
    const fs::path golden(PELLAM_GOLDEN_DIR);
    std::ifstream cases(golden / "cases.tsv");
    ASSERT_TRUE(cases) << "missing " << golden / "cases.tsv";
    test::TempDir dir;
    test::writeFile(dir.path() / "hdmi-default.bin", formatRawBinary(std::span(hdmiDefaultImage()).first(256)));
    test::writeFile(dir.path() / "dp-default.bin", formatRawBinary(std::span(displayPortDefaultImage()).first(256)));

    int checked = 0;
    std::string line;
    while (std::getline(cases, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        const std::vector<std::string> fields = splitTabs(line);
        ASSERT_GE(fields.size(), 3u) << line;
        SCOPED_TRACE(fields[0]);
        std::vector<std::string> args = {"analyse"};
        std::stringstream words(fields[2]);
        std::string word;
        while (words >> word) {
            if (word == "@hdmi-default")
                word = (dir.path() / "hdmi-default.bin").string();
            else if (word == "@dp-default")
                word = (dir.path() / "dp-default.bin").string();
            else if (word.rfind("--", 0) != 0 && !std::isdigit(static_cast<unsigned char>(word[0])))
                word = (fs::path(PELLAM_CORPUS_DIR) / word).string();
            args.push_back(word);
        }
        const test::CliRun run = test::runCli(args);
        EXPECT_EQ(run.status, std::stoi(fields[1])) << run.err;
        const std::string expected = test::readFile(golden / fields[0]);
        ASSERT_FALSE(expected.empty()) << "missing " << fields[0];
        // Compare line by line so that a failure names the first line that differs.
        std::istringstream want(expected);
        std::istringstream got(run.out);
        std::string a;
        std::string b;
        int number = 0;
        while (true) {
            const bool moreWanted = static_cast<bool>(std::getline(want, a));
            const bool moreGot = static_cast<bool>(std::getline(got, b));
            ++number;
            if (!moreWanted && !moreGot)
                break;
            ASSERT_EQ(moreGot, moreWanted) << "report length differs at line " << number;
            ASSERT_EQ(b, a) << "line " << number;
        }
        ++checked;
    }
    EXPECT_GE(checked, 8);
}

} // namespace
} // namespace pellam
