#include "cli/cli.h"
#include "cli/cli_support.h"

#include <iostream>
#include <unistd.h>

int main(int argc, char** argv) {
    // Reports are written line by line; C stdio is not used alongside.
    std::ios::sync_with_stdio(false);
    // Standard output and error go through buffers that keep the reason of
    // a failed write, so that a full disk or a closed pipe is reported.
    pellam::cli::FdOutputBuffer outBuffer(STDOUT_FILENO);
    pellam::cli::FdOutputBuffer errBuffer(STDERR_FILENO);
    std::ostream out(&outBuffer);
    std::ostream err(&errBuffer);
    err.setf(std::ios::unitbuf);
    const std::vector<std::string> args(argv + 1, argv + argc);
    return pellam::cli::run(args, std::cin, out, err);
}
