// The findings of analyse: IDs unique within every report, the bytes each one
// judged, the totals and the tool first; waivers.
#include "cli_test_support.h"
#include "core/edid/edid_file.h"
#include "support/test_support.h"
#include "xml_check.h"

#include <nlohmann/json.hpp>
#include <set>

#include <gtest/gtest.h>

namespace pellam {
namespace {

using test::runCli;

std::string hexAt(const std::string& bytes, std::size_t start, std::size_t length) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    for (std::size_t p = start; p < start + length; ++p) {
        // The analyser reads the bytes past a short file as zeros.
        const auto b = static_cast<unsigned char>(p < bytes.size() ? bytes[p] : 0);
        if (!hex.empty())
            hex += ' ';
        hex += kDigits[b >> 4];
        hex += kDigits[b & 15];
    }
    return hex;
}

nlohmann::json analyseJson(const std::vector<std::string>& args, int* status = nullptr) {
    std::vector<std::string> all = {"analyse", "--format", "json"};
    all.insert(all.end(), args.begin(), args.end());
    const auto run = runCli(all);
    if (status)
        *status = run.status;
    return nlohmann::json::parse(run.out);
}

TEST(CliFindings, EveryItemOfEveryRealEdidHasAUniqueIdAndItsBytes) {
    const auto corpus = test::corpusFiles();
    ASSERT_FALSE(corpus.empty());
    const std::string folder = corpus.front().parent_path().string();
    const auto run = runCli({"analyse", "--format", "json", "--60hz", "--50hz", "--hdtv", folder});
    ASSERT_LE(run.status, 1) << run.err;
    // The tool, its version and the totals come first.
    EXPECT_EQ(run.out.rfind("{\n  \"tool\": \"pellam-cli\",\n  \"version\": \"1.4\",\n  \"totals\"", 0),
              0u);
    const auto report = nlohmann::json::parse(run.out);
    ASSERT_EQ(report["files"].size(), corpus.size());
    int pass = 0, fail = 0, skip = 0, repeatedTimings = 0;
    for (const auto& record : report["files"]) {
        const std::string path = record["file"];
        SCOPED_TRACE(path);
        const std::string bytes = test::readFile(path);
        std::set<std::string> ids;
        int counted[3] = {};
        for (const auto& item : record["items"]) {
            const std::string id = item["id"];
            EXPECT_TRUE(ids.insert(id).second) << "repeated ID " << id;
            // section/number[/kindN], the section in lower case without blanks.
            const std::size_t slash = id.find('/');
            EXPECT_EQ(id.substr(0, slash).find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789-"),
                      std::string::npos)
                << id;
            EXPECT_EQ(id.substr(slash + 1, id.find('/', slash + 1) - slash - 1),
                      std::to_string(item["number"].get<int>()))
                << id;
            if (item.contains("index")) {
                const std::string tail = "/" + item["index-of"].get<std::string>() +
                                         std::to_string(item["index"].get<int>());
                EXPECT_EQ(id.substr(id.size() - tail.size()), tail);
                repeatedTimings += id.rfind("8-17/73/timing", 0) == 0 && item["index"] == 2;
            }
            if (item.contains("block")) {
                const std::size_t start = item["block"].get<std::size_t>() * 128 +
                                          item["offset"].get<std::size_t>();
                const std::size_t length = item["length"];
                EXPECT_LE(start + length, std::max<std::size_t>(bytes.size(), 256)) << id;
                EXPECT_LT(item["offset"].get<int>(), 128) << id;
                if (length <= 18) {
                    EXPECT_EQ(item["value"], hexAt(bytes, start, length)) << id;
                }
            }
            const std::string verdict = item["verdict"];
            counted[verdict == "PASS" ? 0 : verdict == "FAIL" ? 1 : 2]++;
        }
        EXPECT_EQ(record["counts"]["pass"], counted[0]);
        EXPECT_EQ(record["counts"]["fail"], counted[1]);
        EXPECT_EQ(record["counts"]["skip"], counted[2]);
        pass += counted[0];
        fail += counted[1];
        skip += counted[2];
    }
    EXPECT_EQ(report["totals"]["pass"], pass);
    EXPECT_EQ(report["totals"]["fail"], fail);
    EXPECT_EQ(report["totals"]["skip"], skip);
    EXPECT_EQ(report["totals"]["files"], corpus.size());
    EXPECT_GT(repeatedTimings, 0) << "some EDID matches a format with more than one timing";

    // JUnit: test case names unique within their suite, class names without dots.
    const auto junit = runCli({"analyse", "--format", "junit", folder});
    test::XmlReader reader(junit.out);
    const auto root = reader.read();
    ASSERT_TRUE(root) << reader.error();
    ASSERT_EQ(root->all("testsuite").size(), corpus.size());
    for (const auto* suite : root->all("testsuite")) {
        std::set<std::string> names;
        int failures = 0;
        for (const auto* test : suite->all("testcase")) {
            EXPECT_TRUE(names.insert(test->attributes.at("name")).second)
                << suite->attributes.at("name") << ": " << test->attributes.at("name");
            EXPECT_EQ(test->attributes.at("classname").find('.'), std::string::npos);
            failures += static_cast<int>(test->all("failure").size());
        }
        EXPECT_EQ(suite->attributes.at("failures"), std::to_string(failures));
        EXPECT_EQ(suite->attributes.at("tests"), std::to_string(names.size()));
    }
}

// Worked out by hand from the layout of the built-in image: the bytes that
// each of these items judges.
TEST(CliFindings, LocationsOfTheDefaultImage) {
    test::TempDir dir;
    const EdidImage image = hdmiDefaultImage();
    const std::string bytes = formatRawBinary(std::span(image).first(256));
    test::writeFile(dir.file("default.bin"), bytes);
    const auto report = analyseJson({dir.file("default.bin")});
    std::map<std::string, nlohmann::json> byId;
    for (const auto& item : report["files"][0]["items"])
        byId[item["id"]] = item;
    const struct {
        const char* id;
        int block, offset, length;
    } cases[] = {
        {"8-1/0", 0, 0, 8},     // the header
        {"8-1/1", 0, 127, 1},   // block 0's checksum
        {"8-1/2", 0, 126, 1},   // the extension count
        {"8-1/3", 1, 127, 1},   // block 1's checksum
        {"8-2/4", 0, 18, 2},    // version and revision
        {"8-2/5", 0, 20, 1},    // video input definition
        {"8-3/12", 1, 0, 1},    // the extension tag
        {"8-3/27", 1, 2, 1},    // d, where the timings start
        {"8-3/29", 1, 0x17, 1}, // the HDMI VSDB's header at 97h
        {"8-3/31", 1, 0x1B, 2}, // its physical address
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        ASSERT_TRUE(byId.count(c.id));
        const auto& item = byId[c.id];
        EXPECT_EQ(item["block"], c.block);
        EXPECT_EQ(item["offset"], c.offset);
        EXPECT_EQ(item["length"], c.length);
        EXPECT_EQ(item["value"], hexAt(bytes, static_cast<std::size_t>(c.block * 128 + c.offset),
                                       static_cast<std::size_t>(c.length)));
    }
    EXPECT_FALSE(byId["8-3/61"].contains("block")) << "a declaration judges no bytes";
}

TEST(CliWaivers, AWaivedFailureIsListedButNotCounted) {
    test::TempDir dir;
    // The built-in image passes every item; this one fails three at least:
    // both checksums and the version.
    EdidImage image = hdmiDefaultImage();
    image[19] = 4;
    ApplyAutoChecksums(image, true);
    ++image[127];
    ++image[255];
    test::writeFile(dir.file("failing.bin"), formatRawBinary(std::span(image).first(256)));
    const std::string file = dir.file("failing.bin");
    const auto plain = analyseJson({file});
    std::vector<std::string> failing;
    for (const auto& item : plain["files"][0]["items"])
        if (item["verdict"] == "FAIL")
            failing.push_back(item["id"]);
    ASSERT_GE(failing.size(), 3u);
    EXPECT_EQ(failing[0], "8-1/1");
    std::vector<std::string> all;
    for (const auto& id : failing) {
        all.push_back("--waive");
        all.push_back(id);
    }
    const struct {
        const char* what;
        std::vector<std::string> waivers;
        int status;
        int fail, waived;
        std::string note;
    } cases[] = {
        {"none", {}, 1, static_cast<int>(failing.size()), 0, ""},
        {"one", {"--waive", failing[0]}, 1, static_cast<int>(failing.size()) - 1, 1, ""},
        {"the same twice", {"--waive", failing[0], "--waive", failing[0]}, 1,
         static_cast<int>(failing.size()) - 1, 1, ""},
        {"all", all, 0, 0, static_cast<int>(failing.size()), ""},
        {"a passing item", {"--waive", "8-1/0"}, 1, static_cast<int>(failing.size()), 0,
         "pellam-cli: note: --waive 8-1/0 matched no failed item\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::string> args = c.waivers;
        args.push_back(file);
        int status = -1;
        const auto report = analyseJson(args, &status);
        EXPECT_EQ(status, c.status);
        EXPECT_EQ(report["files"][0]["counts"]["fail"], c.fail);
        EXPECT_EQ(report["files"][0]["counts"]["waived"], c.waived);
        EXPECT_EQ(report["totals"]["waived"], c.waived);
        std::vector<std::string> text = {"analyse"};
        text.insert(text.end(), args.begin(), args.end());
        const auto run = runCli(text);
        EXPECT_EQ(run.status, c.status);
        EXPECT_EQ(run.err, c.note);
        std::size_t marked = 0;
        for (std::size_t at = run.out.find("\n WAIVED-> "); at != std::string::npos;
             at = run.out.find("\n WAIVED-> ", at + 1))
            ++marked;
        EXPECT_EQ(marked, static_cast<std::size_t>(c.waived));
        if (c.waived > 0) {
            EXPECT_NE(run.out.find("(" + std::to_string(c.waived) + " waived)\n"),
                      std::string::npos);
        }
    }
    const auto all2 = runCli([&] {
        std::vector<std::string> a = {"analyse"};
        a.insert(a.end(), all.begin(), all.end());
        a.push_back(file);
        return a;
    }());
    EXPECT_NE(all2.out.find("   All Pass! (" + std::to_string(failing.size()) + " waived)\n"),
              std::string::npos);

    for (const char* bad : {"8-3", "8-3/", "8-3/x", "/29", "8-3/29/", "8-3/29/7", "hello"}) {
        const auto run = runCli({"analyse", "--waive", bad, file});
        EXPECT_EQ(run.status, 2) << bad;
        EXPECT_EQ(run.out, "") << bad;
    }
}

// An ID without its last part waives the item for every timing or block.
TEST(CliWaivers, AnIdWithoutItsIndexWaivesEveryIndex) {
    const auto corpus = test::corpusFiles();
    for (const auto& file : corpus) {
        const auto report = analyseJson({file.string()});
        for (const auto& item : report["files"][0]["items"]) {
            const std::string id = item["id"];
            if (item["verdict"] != "FAIL" || !item.contains("index"))
                continue;
            const std::string prefix = id.substr(0, id.rfind('/'));
            const auto waived = analyseJson({"--waive", prefix, file.string()});
            for (const auto& again : waived["files"][0]["items"])
                if (again["id"].get<std::string>().rfind(prefix + "/", 0) == 0) {
                    EXPECT_NE(again["verdict"], "FAIL") << again["id"];
                }
            return;
        }
    }
    FAIL() << "no real EDID fails an item of a timing or a block";
}

} // namespace
} // namespace pellam
