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
.ddc line-form file. Every byte of IN is written, whatever its length (an
EDID has 128 bytes for each of its blocks); checksums are left as read. What
looks wrong (a length that is no whole number of blocks, an EEPROM read that
wrapped around, byte 126 against the blocks present, wrong checksums) is
named on standard error.

Exit status: 0 on success, 2 on a usage error or a file that cannot be read
or written (OUT is then not created).
)";

const std::string kRebuildHelp = R"(Usage: pellam-cli rebuild IN OUT

Reads IN, checks its EDID header, writes every CTA-861 extension block that
byte 126 declares again from its decoded data blocks and timings (what the
editor does once anything in block 1 is edited), recomputes the checksum of
every block and writes OUT as for convert, with every block of IN. Data
blocks the editor does not model, and records of the detailed timing area
that are not timings, are written back as they were. Block 1 is left as read
when it is not an editable CTA-861 extension (a note says so); so are other
extension blocks that are not CTA-861 ones.

Exit status: 0 on success, 2 on a usage error, a file that cannot be read or
written, an image without the EDID header, or a block 1 that does not fit.
)";

namespace {

// For the verbs that take IN OUT: checks the arguments and OUT's form before
// anything is read, then reads IN. Returns 0 when the verb may go on, else
// the exit status (the message is written).
int readInOut(const std::string& verb, const Args& args, EdidBytes& bytes, std::ostream& err) {
    if (args.size() != 2)
        return usageError(err, verb + " takes two arguments: IN OUT");
    if (!isWritablePath(args[1])) {
        err << "pellam-cli: cannot write \"" << args[1]
            << "\": use .bin or .dat for raw binary, .txt for hex text\n";
        return kExitUsage;
    }
    if (!readInput(args[0], bytes, err))
        return kExitUsage;
    // A rebuild writes every checksum anew: only convert keeps them as read.
    reportFindings(args[0], bytes, err, verb == "convert");
    return kExitOk;
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
    EdidBytes bytes;
    if (const int status = readInOut("convert", args, bytes, err))
        return status;
    return writeOutput(args[1], bytes, err) ? kExitOk : kExitUsage;
}

int rebuildVerb(const Args& args, std::ostream&, std::ostream& err) {
    EdidBytes bytes;
    if (const int status = readInOut("rebuild", args, bytes, err))
        return status;
    if (!hasEdidHeader(bytes)) {
        err << kMsgEdidFileFormatIncorrect << "\n";
        return kExitUsage;
    }
    const std::size_t declared =
        bytes.size() > kExtensionCountOffset ? bytes[kExtensionCountOffset] : 0;
    for (std::size_t k = 1; k <= declared && (k + 1) * kBlockSize <= bytes.size(); ++k) {
        const std::span<Byte> block(bytes.data() + k * kBlockSize, kBlockSize);
        const int base = static_cast<int>(k * kBlockSize);
        DataBlockCollection collection;
        parseCtaBlock(block, base, collection);
        if (!collection.editable) {
            if (k == 1)
                err << collection.note << "\n";
        } else if (!rebuildCtaBlock(block, base, collection)) {
            err << (k == 1 ? "" : "Block " + std::to_string(k) + ": ")
                << kMsgNoSpaceOfExtendedBlock << "\n";
            return kExitUsage;
        }
    }
    applyBlockChecksums(bytes, true);
    return writeOutput(args[1], bytes, err) ? kExitOk : kExitUsage;
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
