#include "cli/cli.h"

#include <iostream>

int main(int argc, char** argv) {
    // Reports are written line by line; C stdio is not used alongside.
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> args(argv + 1, argv + argc);
    return pellam::cli::run(args, std::cout, std::cerr);
}
