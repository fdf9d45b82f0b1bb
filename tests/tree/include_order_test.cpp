// The layering of src/ as HACKING.md states it: every #include "..." of a
// source file names a file under src/, written from src/, in the file's own
// folder or in one the stated chains put below it. A folder of src/ that the
// chains do not name fails too, so that a new folder is placed on purpose.
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

const fs::path kSourceRoot = fs::path(PELLAM_SOURCE_DIR) / "src";

std::string readText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// folder -> the folders it may include (itself and everything below it).
using Layers = std::map<std::string, std::set<std::string>>;

// Reads the chains ("a <- b <- c") between the include-order markers.
Layers readLayers(const std::string& hacking, std::string& problem) {
    const std::string begin = "<!-- include-order -->";
    const std::string end = "<!-- /include-order -->";
    const auto from = hacking.find(begin);
    const auto to = hacking.find(end);
    if (from == std::string::npos || to == std::string::npos || to < from) {
        problem = "HACKING.md has no include-order block";
        return {};
    }
    std::map<std::string, std::set<std::string>> below; // direct edges
    std::stringstream block(hacking.substr(from + begin.size(), to - from - begin.size()));
    std::string line;
    const std::regex name(R"([a-z_]+(/[a-z_]+)?)");
    while (std::getline(block, line)) {
        if (line.find("<-") == std::string::npos)
            continue;
        std::vector<std::string> chain;
        for (auto it = std::sregex_iterator(line.begin(), line.end(), name);
             it != std::sregex_iterator(); ++it)
            chain.push_back(it->str());
        for (std::size_t i = 0; i < chain.size(); ++i) {
            below[chain[i]];
            if (i > 0)
                below[chain[i]].insert(chain[i - 1]);
        }
    }
    Layers layers;
    for (const auto& [folder, direct] : below) {
        std::set<std::string> reach{folder};
        std::vector<std::string> todo(direct.begin(), direct.end());
        while (!todo.empty()) {
            const std::string next = todo.back();
            todo.pop_back();
            if (!reach.insert(next).second)
                continue;
            todo.insert(todo.end(), below[next].begin(), below[next].end());
        }
        layers[folder] = reach;
    }
    return layers;
}

// "core/edid" for src/core/edid/hex.h, "cli" for src/cli/cli.cpp.
std::string folderOf(const fs::path& relative) {
    auto it = relative.begin();
    std::string folder = it->string();
    if (folder == "core" || folder == "gui")
        folder += "/" + (++it)->string();
    return folder;
}

TEST(IncludeOrder, EveryIncludePointsDownAsHackingStates) {
    std::string problem;
    const Layers layers =
        readLayers(readText(fs::path(PELLAM_SOURCE_DIR) / "HACKING.md"), problem);
    ASSERT_TRUE(problem.empty()) << problem;
    ASSERT_GE(layers.size(), 10u);

    const std::regex include(R"re(^\s*#\s*include\s*"([^"]+)")re");
    std::vector<std::string> faults;
    std::set<std::string> folders;
    int checked = 0;
    for (const auto& entry : fs::recursive_directory_iterator(kSourceRoot)) {
        const auto ext = entry.path().extension();
        if (!entry.is_regular_file() || (ext != ".h" && ext != ".cpp"))
            continue;
        const fs::path relative = fs::relative(entry.path(), kSourceRoot);
        const std::string folder = folderOf(relative);
        folders.insert(folder);
        const auto layer = layers.find(folder);
        std::stringstream text(readText(entry.path()));
        std::string line;
        while (std::getline(text, line)) {
            std::smatch match;
            if (!std::regex_search(line, match, include))
                continue;
            ++checked;
            const fs::path target = match[1].str();
            if (!fs::exists(kSourceRoot / target)) {
                faults.push_back(relative.string() + ": \"" + target.string() +
                                 "\" is not a path from src/");
                continue;
            }
            const std::string to = folderOf(target);
            if (layer == layers.end() || !layer->second.contains(to))
                faults.push_back(relative.string() + " (" + folder + ") includes " +
                                 target.string() + " (" + to + ")");
        }
    }
    for (const std::string& folder : folders)
        if (!layers.contains(folder))
            faults.push_back("src/" + folder + " is not in HACKING.md's include order");
    EXPECT_GT(checked, 300);
    std::string all;
    for (const std::string& fault : faults)
        all += fault + "\n";
    EXPECT_TRUE(faults.empty()) << faults.size() << " includes against the order:\n" << all;
}

// The rule itself: a chain reaches down, never up or sideways.
TEST(IncludeOrder, ChainsReachDownOnly) {
    std::string problem;
    const Layers layers = readLayers("<!-- include-order -->\n"
                                     "a <- b <- c\n"
                                     "b <- d\n"
                                     "<!-- /include-order -->",
                                     problem);
    EXPECT_EQ(layers.at("c"), (std::set<std::string>{"a", "b", "c"}));
    EXPECT_EQ(layers.at("d"), (std::set<std::string>{"a", "b", "d"}));
    EXPECT_EQ(layers.at("a"), (std::set<std::string>{"a"}));
    readLayers("no block here", problem);
    EXPECT_FALSE(problem.empty());
}

} // namespace
