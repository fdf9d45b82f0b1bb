#include "cli/cli.h"

#include "core/cea/extension_block.h"
#include "cli/cli_support.h"
#include "cli/verbs.h"
#include "core/edid/edid_file.h"

#include <iostream>
#include <ostream>

#ifndef PELLAM_VERSION
#define PELLAM_VERSION "unknown"
#endif

namespace pellam::cli {

namespace {

// The options convert and rebuild take besides IN and OUT.
const char* const kFormOptionsHelp =
    R"(Options:
  --input-format F   read IN as bin (raw binary), hex (hex text) or ddc (hex
                     text, one byte a line), whatever its name
  --output-format F  write OUT as bin or hex, whatever its name
)";

} // namespace

const std::string kConvertHelp = std::string(R"(Usage: pellam-cli convert [options] IN OUT

Reads the EDID file IN and writes it to OUT in the form that OUT's extension
names, in any case: .bin or .dat raw binary, .txt hex text. IN may also be a
.ddc line-form file; a name without any of these extensions is read by its
content (binary when it starts with the EDID header, else hex text). IN of -
is standard input, OUT of - standard output (binary unless --output-format
hex). Every byte of IN is written, whatever its length (an EDID has 128
bytes for each of its blocks); checksums are left as read. What looks wrong
(a length that is no whole number of blocks, an EEPROM read that wrapped
around, byte 126 against the blocks present, wrong checksums) is named on
standard error.

)") + kFormOptionsHelp + R"(
Exit status: 0 on success, 2 on a usage error or a file that cannot be read
or written (OUT is then not created).
)";

const std::string kRebuildHelp = std::string(R"(Usage: pellam-cli rebuild [options] IN OUT

Reads IN, checks its EDID header, writes every CTA-861 extension block that
byte 126 declares again from its decoded data blocks and timings (what the
editor does once anything in block 1 is edited), recomputes the checksum of
every block and writes OUT as for convert, with every block of IN. Data
blocks the editor does not model, and records of the detailed timing area
that are not timings, are written back as they were. Block 1 is left as read
when it is not an editable CTA-861 extension (a note says so); so are other
extension blocks that are not CTA-861 ones. IN and OUT may be -, as for
convert.

)") + kFormOptionsHelp + R"(
Exit status: 0 on success, 2 on a usage error, a file that cannot be read or
written, an image without the EDID header, or a block 1 that does not fit.
)";

const std::string kLicenceText = "Copyright (c) 2026 The Pellam authors.\n"
                                 "MIT licence: this is free software, you may use, copy, change and\n"
                                 "pass it on; it comes with no warranty.\n";

namespace {

const OptionRule kFormOptions[] = {
    {"--input-format", nullptr, true},
    {"--output-format", nullptr, true},
};

// IN and OUT of convert and rebuild, and the forms they are read and written in.
struct InOut {
    std::string in;
    std::string out;
    FileForm inForm = FileForm::Auto;
    FileForm outForm = FileForm::Auto;
};

// For the verbs that take IN OUT: checks the arguments and OUT's form before
// anything is read, then reads IN. Returns 0 when the verb may go on, else
// the exit status (the message is written).
int readInOut(const std::string& verb, const Args& args, InOut& files, EdidBytes& bytes,
              std::ostream& err) {
    ParsedArgs parsed;
    if (const int status = parseArguments(verb, args, kFormOptions, parsed, err))
        return status;
    if (parsed.operands.size() != 2)
        return usageError(err, verb + " takes two arguments: IN OUT");
    files.in = parsed.operands[0];
    files.out = parsed.operands[1];
    for (const auto& [name, value] : parsed.options) {
        const auto form = fileFormNamed(value);
        const bool output = name == "--output-format";
        if (!form || (output && *form == FileForm::HexLines))
            return usageError(err, name + " takes " + (output ? "bin or hex" : "bin, hex or ddc") +
                                       ", not '" + displayText(value) + "'");
        (output ? files.outForm : files.inForm) = *form;
    }
    if (!isWritablePath(files.out, files.outForm)) {
        err << "pellam-cli: " << notWritableMessage(files.out) << "\n";
        return kExitUsage;
    }
    if (!readInput(files.in, bytes, err, files.inForm))
        return kExitUsage;
    // A rebuild writes every checksum anew: only convert keeps them as read.
    reportFindings(files.in, bytes, err, verb == "convert");
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
    out << "\nEvery verb takes --help for its own options. A file argument of - is\n"
           "standard input or output; -- ends the options.\n"
           "\nOptions:\n"
           "  -h, --help                    show this text\n"
           "  --version                     show the version and the licence\n"
           "\nExit status: 0 on success (analyse: every item passes), 1 when an\n"
           "analysis or a verify fails, 2 on a usage error, an unreadable or unwritable\n"
           "file, a failed transfer, or output that cannot be written.\n"
           "\nThe manual page pellam-cli(1) describes every verb, field and file.\n";
}

} // namespace

int convertVerb(const Args& args, std::ostream&, std::ostream& err) {
    InOut files;
    EdidBytes bytes;
    if (const int status = readInOut("convert", args, files, bytes, err))
        return status;
    return writeOutput(files.out, bytes, err, files.outForm) ? kExitOk : kExitUsage;
}

int rebuildVerb(const Args& args, std::ostream&, std::ostream& err) {
    InOut files;
    EdidBytes bytes;
    if (const int status = readInOut("rebuild", args, files, bytes, err))
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
    return writeOutput(files.out, bytes, err, files.outForm) ? kExitOk : kExitUsage;
}

namespace {

int dispatch(const Args& args, std::ostream& out, std::ostream& err) {
    if (args.empty())
        return usageError(err, "no verb given");
    const std::string& verb = args[0];
    if (verb == "--help" || verb == "-h" || verb == "help") {
        writeUsage(out);
        return kExitOk;
    }
    if (verb == "--version") {
        out << "pellam-cli " << PELLAM_VERSION << "\n" << kLicenceText;
        return kExitOk;
    }
    const Args rest(args.begin() + 1, args.end());
    for (const Verb& v : kVerbs) {
        if (verb != v.name)
            continue;
        if (asksForHelp(rest)) {
            out << *v.help;
            return kExitOk;
        }
        return v.run(rest, out, err);
    }
    return usageError(err, "unknown verb '" + displayText(verb) + "'");
}

} // namespace

int run(const Args& args, std::istream& in, std::ostream& out, std::ostream& err) {
    int status = kExitOk;
    {
        ScopedRunStreams streams(in, out);
        status = dispatch(args, out, err);
    }
    // What could not be written is as much a failure as what could not be
    // read: a report cut short must not look like a good one.
    out.flush();
    if (!out) {
        err << "pellam-cli: cannot write standard output: " << streamFailureReason(out) << "\n";
        status = kExitUsage;
    }
    err.flush();
    if (!err)
        status = kExitUsage;
    return status;
}

int run(const Args& args, std::ostream& out, std::ostream& err) {
    return run(args, std::cin, out, err);
}

} // namespace pellam::cli
