// Runs pellam-cli in-process and keeps what it printed.
#pragma once

#include "cli/cli.h"

#include <sstream>
#include <string>
#include <vector>

namespace pellam::test {

struct CliRun {
    int status;
    std::string out;
    std::string err;
};

inline CliRun runCli(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = cli::run(args, out, err);
    return {status, out.str(), err.str()};
}

} // namespace pellam::test
