#include "cli/cli.h"

#include "core/cea/extension_block.h"
#include "cli/cli_support.h"
#include "cli/verbs.h"
#include "core/edid/edid_file.h"

#include <ostream>

#ifndef PELLAM_VERSION
#define PELLAM_VERSION "unknown"
#endif

namespace pellam::cli {

const std::string kConvertHelp = R"(Usage: pellam-cli convert IN OUT

Reads the EDID file IN and writes it to OUT in the form that OUT's extension
names: .bin/.BIN/.dat/.DAT raw binary, .txt/.TXT hex text. IN may also be a
.ddc line-form file. 128 bytes are written when byte 126 is 0, else 256.
Checksums are left as read.

Exit status: 0 on success, 2 on a usage error or a file that cannot be read
or written (OUT is then not created).
)";

const std::string kRebuildHelp = R"(Usage: pellam-cli rebuild IN OUT

Reads IN, checks its EDID header, writes block 1 again from its decoded data
blocks and timings (what the editor does once anything in block 1 is edited),
recomputes both checksums and writes OUT as for convert. Data blocks the
editor does not model are written back as they were. Block 1 is left as read
when it is not an editable CTA-861 extension (a note says so).

Exit status: 0 on success, 2 on a usage error, a file that cannot be read or
written, an image without the EDID header, or a block 1 that does not fit.
)";

namespace {

// For the verbs that take IN OUT: checks the arguments and OUT's form before
// anything is read, then reads IN. Returns 0 when the verb may go on, else
// the exit status (the message is written).
int readInOut(const std::string& verb, const Args& args, EdidImage& image, std::ostream& err) {
    if (args.size() != 2)
        return usageError(err, verb + " takes two arguments: IN OUT");
    if (!isWritablePath(args[1])) {
        err << "pellam-cli: cannot write \"" << args[1]
            << "\": use .bin or .dat for raw binary, .txt for hex text\n";
        return kExitUsage;
    }
    return readInput(args[0], image, err) ? kExitOk : kExitUsage;
}

const Verb kVerbs[] = {
    {"convert", "IN OUT", "convert an EDID file between binary and hex text", &kConvertHelp,
     convertVerb},
    {"rebuild", "IN OUT", "write block 1 again from its data blocks, fix the checksums",
     &kRebuildHelp, rebuildVerb},
    {"analyse", "[options] PATH...", "check EDIDs against the HDMI sink compliance items",
     &kAnalyseHelp, analyseVerb},
    {"edit", "IN OUT... --set F=V...", "set serial numbers, dates, names, physical address",
     &kEditHelp, editVerb},
    {"displays", "[--json]", "list the display connectors and their DDC buses", &kDisplaysHelp,
     displaysVerb},
    {"read", "[options] OUT", "read the sink's EDID EEPROM over I2C into a file", &kReadHelp,
     readVerb},
    {"write", "[options] IN", "write a file into the sink's EDID EEPROM over I2C and verify it",
     &kWriteHelp, writeVerb},
    {"restore", "[options] BACKUP", "write a backup of the sink's EEPROM back and verify it",
     &kRestoreHelp, restoreVerb},
};

void writeUsage(std::ostream& out) {
    out << "Usage: pellam-cli VERB [arguments]\n"
           "       pellam-cli VERB --help\n\n"
           "The headless side of the Pellam EDID editor.\n\nVerbs:\n";
    for (const Verb& verb : kVerbs) {
        std::string head = std::string("  ") + verb.name + " " + verb.synopsis;
        if (head.size() < 32)
            head.resize(32, ' ');
        else
            head += "\n" + std::string(32, ' ');
        out << head << verb.summary << "\n";
    }
    out << "\nOptions:\n"
           "  --help                        show this text\n"
           "  --version                     show the version\n";
}

} // namespace

int convertVerb(const Args& args, std::ostream&, std::ostream& err) {
    EdidImage image{};
    if (const int status = readInOut("convert", args, image, err))
        return status;
    return writeOutput(args[1], image, err) ? kExitOk : kExitUsage;
}

int rebuildVerb(const Args& args, std::ostream&, std::ostream& err) {
    EdidImage image{};
    if (const int status = readInOut("rebuild", args, image, err))
        return status;
    if (!hasEdidHeader(image)) {
        err << kMsgEdidFileFormatIncorrect << "\n";
        return kExitUsage;
    }
    if (image[kExtensionCountOffset] != 0) {
        DataBlockCollection collection;
        parseExtensionBlock(image, collection);
        if (!collection.editable) {
            err << collection.note << "\n";
        } else if (!rebuildExtensionBlock(image, collection)) {
            err << kMsgNoSpaceOfExtendedBlock << "\n";
            return kExitUsage;
        }
    }
    ApplyAutoChecksums(image, true);
    return writeOutput(args[1], image, err) ? kExitOk : kExitUsage;
}

int run(const Args& args, std::ostream& out, std::ostream& err) {
    if (args.empty())
        return usageError(err, "no verb given");
    const std::string& verb = args[0];
    if (verb == "--help" || verb == "-h" || verb == "help") {
        writeUsage(out);
        return kExitOk;
    }
    if (verb == "--version") {
        out << "pellam-cli " << PELLAM_VERSION << "\n";
        return kExitOk;
    }
    const Args rest(args.begin() + 1, args.end());
    for (const Verb& v : kVerbs) {
        if (verb != v.name)
            continue;
        if (!rest.empty() && (rest[0] == "--help" || rest[0] == "-h")) {
            out << *v.help;
            return kExitOk;
        }
        return v.run(rest, out, err);
    }
    return usageError(err, "unknown verb '" + verb + "'");
}

} // namespace pellam::cli
