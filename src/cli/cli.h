// pellam-cli: the headless tool. Each verb is a function over streams so the
// tests run it in-process.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace pellam::cli {

// Exit statuses shared by every verb.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1; // analyse: some item failed
inline constexpr int kExitUsage = 2;  // usage error, unreadable input, unwritable output

// args excludes the program name. A verb reads standard input from `in`
// when given "-" for a file to read, and writes standard output to `out`.
// When `out` or `err` cannot take what is written, the status is
// kExitUsage, whatever the verb returned.
int run(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
        std::ostream& err);
// The same with the process's standard input.
int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace pellam::cli
