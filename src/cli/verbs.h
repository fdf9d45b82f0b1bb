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
    const std::string* help; // the verb's own help: what it does and its options
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

extern const std::string kConvertHelp;
extern const std::string kRebuildHelp;
extern const std::string kAnalyseHelp;
extern const std::string kDisplaysHelp;
extern const std::string kEditHelp;
extern const std::string kReadHelp;
extern const std::string kWriteHelp;
extern const std::string kRestoreHelp;

} // namespace pellam::cli
