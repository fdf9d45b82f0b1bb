// What the tests of pellam-cli's common rules share: runs with standard
// input, runs whose standard output refuses every byte, runs of the built
// program itself, and an environment variable set for a scope.
#pragma once

#include "support/cli_runner.h"

#include <cstdlib>
#include <optional>
#include <sstream>
#include <streambuf>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace pellam::test {

inline CliRun runCliWithInput(const std::vector<std::string>& args, const std::string& input) {
    std::istringstream in(input);
    std::ostringstream out;
    std::ostringstream err;
    const int status = cli::run(args, in, out, err);
    return {status, out.str(), err.str()};
}

// Standard output on a full disk: every byte is refused.
class RefusingBuffer final : public std::streambuf {
protected:
    int_type overflow(int_type) override { return traits_type::eof(); }
    std::streamsize xsputn(const char*, std::streamsize) override { return 0; }
};

inline CliRun runCliIntoRefusingOutput(const std::vector<std::string>& args,
                                       const std::string& input = {}) {
    std::istringstream in(input);
    RefusingBuffer refusing;
    std::ostream out(&refusing);
    std::ostringstream err;
    const int status = cli::run(args, in, out, err);
    return {status, "", err.str()};
}

// The exit status of a shell command line (-1 when it did not exit).
inline int shellStatus(const std::string& command) {
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The built pellam-cli, quoted for a shell command line.
inline std::string cliBinary() {
    return std::string("'") + PELLAM_CLI_BINARY + "'";
}

// Sets an environment variable while the object lives.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value)
        : m_name(name) {
        if (const char* previous = std::getenv(name))
            m_previous = previous;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() {
        if (m_previous)
            setenv(m_name, m_previous->c_str(), 1);
        else
            unsetenv(m_name);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* m_name;
    std::optional<std::string> m_previous;
};

} // namespace pellam::test
