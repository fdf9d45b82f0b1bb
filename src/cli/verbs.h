// The verbs of pellam-cli: each a function over its arguments and the two
// streams, with the help text that `pellam-cli VERB --help` prints.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace pellam::cli {

using Args = std::vector<std::string>;

struct Verb {
    const char* name;
    const char* synopsis; // arguments, as the verb list shows them
    const char* summary;  // one line for the verb list
    const char* help;     // the verb's own help: what it does and its options
    int (*run)(const Args& args, std::ostream& out, std::ostream& err);
};

int convertVerb(const Args& args, std::ostream& out, std::ostream& err);
int rebuildVerb(const Args& args, std::ostream& out, std::ostream& err);
int analyseVerb(const Args& args, std::ostream& out, std::ostream& err);
int editVerb(const Args& args, std::ostream& out, std::ostream& err);
int displaysVerb(const Args& args, std::ostream& out, std::ostream& err);
int readVerb(const Args& args, std::ostream& out, std::ostream& err);
int writeVerb(const Args& args, std::ostream& out, std::ostream& err);
int restoreVerb(const Args& args, std::ostream& out, std::ostream& err);

extern const char* const kConvertHelp;
extern const char* const kRebuildHelp;
extern const char* const kAnalyseHelp;
extern const char* const kDisplaysHelp;
extern const char* const kEditHelp;
extern const char* const kReadHelp;
extern const char* const kWriteHelp;
extern const char* const kRestoreHelp;

} // namespace pellam::cli
