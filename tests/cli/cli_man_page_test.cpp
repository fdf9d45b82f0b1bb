// The manual pages in packaging/man say what the programs' --help texts say:
// the same verbs, and for each verb the same options; every field of edit,
// every environment variable and every exit status a help text names.
#include "support/cli_runner.h"
#include "support/test_support.h"

#include <cstdio>
#include <filesystem>
#include <regex>
#include <set>

#include <gtest/gtest.h>

namespace pellam {
namespace {

using test::runCli;

// The page's source with the roff escapes of hyphens and fonts taken out, so
// that "\-\-format" reads "--format".
std::string manPage(const std::string& name) {
    std::string text =
        test::readFile(std::filesystem::path(PELLAM_SOURCE_DIR) / "packaging" / "man" / name);
    text = std::regex_replace(text, std::regex(R"(\\-)"), "-");
    return std::regex_replace(text, std::regex(R"(\\f[BIRP])"), "");
}

// From the line ".SH TITLE" or ".SS TITLE" to the next section or subsection.
std::string part(const std::string& man, const std::string& heading) {
    const std::size_t start = man.find("\n" + heading + "\n");
    if (start == std::string::npos)
        return {};
    std::size_t end = man.find("\n.S", start + heading.size() + 2);
    return man.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

// The options a text names: -x and --word, at the start of a word.
std::set<std::string> options(const std::string& text) {
    std::set<std::string> found;
    const std::regex option(R"((^|[\s\[(|,"])(--?[a-z0-9][a-z0-9-]*))");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), option);
         it != std::sregex_iterator(); ++it)
        found.insert((*it)[2]);
    return found;
}

std::vector<std::string> verbs() {
    std::vector<std::string> names;
    const std::string help = runCli({"--help"}).out;
    const std::regex line(R"(\n  ([a-z]+) )");
    for (auto it = std::sregex_iterator(help.begin(), help.end(), line);
         it != std::sregex_iterator(); ++it)
        names.push_back((*it)[1]);
    return names;
}

TEST(ManPage, EveryVerbAndOptionOfTheHelpIsInTheManualAndNoOther) {
    const std::string man = manPage("pellam-cli.1");
    const std::vector<std::string> names = verbs();
    ASSERT_GE(names.size(), 8u);
    std::set<std::string> documented;
    const std::regex subsection(R"(\n\.SS ([a-z]+)\n)");
    for (auto it = std::sregex_iterator(man.begin(), man.end(), subsection);
         it != std::sregex_iterator(); ++it)
        documented.insert((*it)[1]);
    EXPECT_EQ(documented, std::set<std::string>(names.begin(), names.end()));
    for (const std::string& verb : names) {
        SCOPED_TRACE(verb);
        const auto help = runCli({verb, "--help"});
        ASSERT_EQ(help.status, 0);
        EXPECT_EQ(options(part(man, ".SS " + verb)), options(help.out));
    }
    EXPECT_EQ(options(part(man, ".SH OPTIONS")), options(runCli({"--help"}).out.substr(
                                                     runCli({"--help"}).out.find("\nOptions:"))));
}

TEST(ManPage, FieldsEnvironmentAndExitStatusesAreDocumented) {
    const std::string man = manPage("pellam-cli.1");
    const std::string edit = runCli({"edit", "--help"}).out;
    const std::string fieldsPart = part(man, ".SH FIELDS");
    int fields = 0;
    const std::regex field(R"(\n  ([a-z-]+)=)");
    for (auto it = std::sregex_iterator(edit.begin(), edit.end(), field);
         it != std::sregex_iterator(); ++it, ++fields)
        EXPECT_NE(fieldsPart.find(".BI " + (*it)[1].str() + "="), std::string::npos) << (*it)[1];
    EXPECT_EQ(fields, 8);

    std::string helps = runCli({"--help"}).out;
    for (const std::string& verb : verbs())
        helps += runCli({verb, "--help"}).out;
    const std::string environment = part(man, ".SH ENVIRONMENT");
    const std::regex variable(R"(\b(PELLAM_[A-Z_]+|XDG_[A-Z_]+|TMPDIR)\b)");
    for (auto it = std::sregex_iterator(helps.begin(), helps.end(), variable);
         it != std::sregex_iterator(); ++it)
        EXPECT_NE(environment.find(".B " + (*it)[1].str() + "\n"), std::string::npos) << (*it)[1];
    const std::string statuses = part(man, ".SH EXIT STATUS");
    for (const char* status : {"0", "1", "2"}) {
        EXPECT_NE(helps.find(std::string(" ") + status + " "), std::string::npos) << status;
        EXPECT_NE(statuses.find(std::string(".B ") + status + "\n"), std::string::npos) << status;
    }
    for (const char* heading : {".SH NAME", ".SH SYNOPSIS", ".SH DESCRIPTION", ".SH FILES",
                                ".SH REPORTS", ".SH COPYRIGHT"})
        EXPECT_FALSE(part(man, heading).empty()) << heading;
}

TEST(ManPage, TheEditorsOptionsAreInItsManual) {
#ifdef PELLAM_GUI_BINARY
    std::FILE* pipe = popen("'" PELLAM_GUI_BINARY "' --help", "r");
    ASSERT_NE(pipe, nullptr);
    std::string help;
    char chunk[4096];
    for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;)
        help.append(chunk, got);
    ASSERT_EQ(pclose(pipe), 0);
    const std::string man = manPage("pellam.1");
    const std::set<std::string> helpOptions = options(help);
    EXPECT_FALSE(helpOptions.empty());
    EXPECT_EQ(options(part(man, ".SH OPTIONS")).count("--help"), 1u);
    for (const std::string& option : helpOptions)
        EXPECT_EQ(options(part(man, ".SH OPTIONS")).count(option), 1u) << option;
    // Every environment variable of the program that the help names.
    const std::regex variable(R"(\bPELLAM_[A-Z_]+\b)");
    for (auto it = std::sregex_iterator(help.begin(), help.end(), variable);
         it != std::sregex_iterator(); ++it)
        EXPECT_NE(part(man, ".SH ENVIRONMENT").find(".B " + it->str()), std::string::npos)
            << it->str();
    const std::string version = [] {
        std::FILE* p = popen("'" PELLAM_GUI_BINARY "' --version", "r");
        char line[256] = {};
        const std::size_t got = p ? std::fread(line, 1, sizeof line - 1, p) : 0;
        if (p)
            pclose(p);
        return std::string(line, got);
    }();
    EXPECT_NE(version.find("MIT licence"), std::string::npos);
#else
    GTEST_SKIP() << "the editor is not built";
#endif
}

} // namespace
} // namespace pellam
