// pellam-cli read / write: the sink's EDID EEPROM over I2C, read into a file
// or written from one and verified, by the same workflow as the editor's
// transfer buttons.
#include "cli/cli.h"
#include "cli/cli_support.h"
#include "cli/verbs.h"
#include "core/ddc/ddc_context.h"
#include "core/ddc/drm_connectors.h"
#include "core/ddc/eeprom_backup.h"
#include "core/ddc/eeprom_workflow.h"
#include "core/edid/edid_file.h"
#include "core/edid/hex.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <ostream>

namespace pellam::cli {

namespace {

// The options that choose the bus and the sink, as every transfer verb takes them.
const char* const kPortOptionsHelp =
    R"(  --port TYPE       where the I2C bus is: LPT1, LPT2 (parallel port), USB (the
                    USB debug adapter), COM1 ... COM8 (serial port modem
                    lines), DDC (a display connector's own DDC bus through
                    i2c-dev); any case (default LPT1)
  --connector NAME  with --port DDC: the display connector, as pellam-cli
                    displays names it (card0-HDMI-A-1)
  --slave HEX       the sink's 8-bit I2C write address, even (default A0)
)";

const char* const kSettingsNote =
    R"(pellam-cli does not read the editor's I2C settings (~/.config/Korvo/Tarnix.conf):
it starts from the defaults (LPT1 at base address 0x378 with 500 delay loops,
USB at 96 kHz, slave address A0) and the options above.
)";

} // namespace

const std::string kReadHelp =
    std::string(R"(Usage: pellam-cli read [--port TYPE] [--connector NAME] [--slave HEX]
                       [--simulate FILE] OUT

Reads the 256 bytes of the sink's EDID EEPROM over I2C and writes them to OUT
in the form OUT's extension names (.bin/.BIN/.dat/.DAT raw binary, .txt/.TXT
hex text): 128 bytes when byte 126 is 0, else 256.

Options:
)") + kPortOptionsHelp + R"(  --simulate FILE   demo and test mode: no hardware is touched; the read runs
                    against a simulated EEPROM preloaded with the EDID file
                    FILE (with --port DDC on a simulated connector, or on the
                    connectors of the sysfs tree PELLAM_SYSFS_ROOT names)

)" + std::string(kSettingsNote) + R"(
On a terminal the progress is shown on standard error. One summary line goes
to standard output.

Exit status: 0 when all 256 bytes were read and OUT written; 2 on a usage
error, a port or adapter that cannot be used, a sink that does not answer
(OUT is then not written) or an OUT that cannot be written.
)";

const std::string kWriteHelp =
    std::string(R"(Usage: pellam-cli write [--port TYPE] [--connector NAME] [--slave HEX]
                        [--fast] [--force] [--simulate FILE [--sim-out FILE]] IN

Writes the EDID file IN into the sink's EDID EEPROM over I2C (a 128-byte
file's second half as 00) as a transaction: first the EEPROM's current 256
bytes are read and saved as a backup file, then IN is written, then every
byte is read back and compared. Nothing is written when the backup cannot be
read or saved. IN must begin with the EDID header.

Backups go to $XDG_DATA_HOME/pellam/backups (~/.local/share/pellam/backups),
named after the port or connector and the time; pellam-cli restore writes one
back.

Options:
)") + kPortOptionsHelp + R"(  --fast            write only the 8-byte pages that differ from the EEPROM's
                    content, each in one page write followed by acknowledge
                    polling, and verify in one sequential read (always so
                    with --port DDC); otherwise all 256 bytes one by one
  --force           with --port DDC: overwrite an EEPROM whose content does
                    not start with the EDID header (without it, such a write
                    is refused: the bus may hold another device's memory)
  --simulate FILE   demo and test mode: no hardware is touched; the write runs
                    against a simulated EEPROM preloaded with the EDID file
                    FILE (with --port DDC on a simulated connector, or on the
                    connectors of the sysfs tree PELLAM_SYSFS_ROOT names)
  --sim-out FILE    with --simulate: afterwards, save the 256 bytes the
                    simulated EEPROM holds to FILE (.bin, .dat or .txt)

)" + std::string(kSettingsNote) + R"(
On a terminal the progress is shown on standard error. Standard output gets
the backup's path ("backup: PATH") and one summary line: PASS, or FAIL with
the first differing address, both bytes and every differing address.

Exit status: 0 when the verify passes; 1 when the EEPROM reads back other
bytes than were written; 2 on a usage error, an IN that cannot be read or has
no EDID header, a port or adapter that cannot be used, a sink that does not
answer, a backup that cannot be saved, or a content refused without --force.
)";

const std::string kRestoreHelp =
    R"(Usage: pellam-cli restore [--port TYPE] [--connector NAME] [--slave HEX]
                          [--fast] [--force] [--simulate FILE [--sim-out FILE]]
                          BACKUP

Writes a backup that pellam-cli write or the editor saved (a raw file of 256
bytes) back into the sink's EEPROM, as a write does: the current content is
backed up first, then BACKUP is written and verified. BACKUP need not hold an
EDID (an EEPROM that was blank is restored blank).

The options are those of pellam-cli write; so are the output and the exit
status.
)";

namespace {

struct TransferOptions {
    I2cSettings settings;
    bool force = false;
    std::optional<std::string> connector;
    std::optional<std::string> simulate;
    std::optional<std::string> simulatedOutput;
    std::string path;
};

std::optional<std::int32_t> portTypeNamed(std::string name) {
    for (char& c : name)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (std::size_t i = 0; i < kPortNames.size(); ++i)
        if (kPortNames[i] == name)
            return static_cast<std::int32_t>(i);
    return std::nullopt;
}

std::optional<Byte> slaveAddressNamed(std::string_view text) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        text.remove_prefix(2);
    const auto value = parseHexNumber(text);
    if (!value || *value > 0xFF || (*value & 1) != 0)
        return std::nullopt;
    return static_cast<Byte>(*value);
}

// Parses the options of read (writes false) or of write and restore.
// Returns 0 or the exit status of a usage error (the message written).
int parseOptions(const std::string& verb, const Args& args, bool writes, TransferOptions& options,
                 std::ostream& err) {
    std::optional<std::string> path;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool takesValue = arg == "--port" || arg == "--slave" || arg == "--simulate" ||
                                arg == "--connector" || (writes && arg == "--sim-out");
        if (takesValue && i + 1 >= args.size())
            return usageError(err, arg + " needs a value");
        if (arg == "--port") {
            const auto type = portTypeNamed(args[++i]);
            if (!type)
                return usageError(err, "unknown port type '" + args[i] +
                                           "' (LPT1, LPT2, USB, COM1 ... COM8, DDC)");
            options.settings.portType = *type;
            options.settings.delayCount = defaultDelayCount(*type);
        } else if (arg == "--slave") {
            const auto slave = slaveAddressNamed(args[++i]);
            if (!slave)
                return usageError(err, "--slave takes an even 8-bit I2C address in hex, such as "
                                       "A0, not '" +
                                           args[i] + "'");
            options.settings.slaveAddress = *slave;
        } else if (arg == "--connector") {
            options.connector = args[++i];
            if (options.connector->empty() || options.connector->find('/') != std::string::npos)
                return usageError(err, "--connector takes a connector name such as "
                                       "card0-HDMI-A-1, not '" +
                                           *options.connector + "'");
        } else if (arg == "--simulate") {
            options.simulate = args[++i];
        } else if (writes && arg == "--sim-out") {
            options.simulatedOutput = args[++i];
        } else if (writes && arg == "--fast") {
            options.settings.fastWrite = true;
        } else if (writes && arg == "--force") {
            options.force = true;
        } else if (arg.size() > 1 && arg[0] == '-') {
            return usageError(err, "unknown option '" + arg + "' for " + verb);
        } else if (path) {
            return usageError(err, verb + " takes one file");
        } else {
            path = arg;
        }
    }
    if (!path)
        return usageError(err, verb + " needs a file");
    const bool ddc = options.settings.portType == kPortDdc;
    if (options.connector && !ddc)
        return usageError(err, "--connector goes with --port DDC");
    if (ddc && !options.connector && !options.simulate)
        return usageError(err, "--port DDC needs --connector NAME (pellam-cli displays lists "
                               "the connectors)");
    if (options.simulatedOutput && !options.simulate)
        return usageError(err, "--sim-out needs --simulate");
    if (options.simulatedOutput && !isWritablePath(*options.simulatedOutput))
        return usageError(err, "cannot write \"" + *options.simulatedOutput +
                                   "\": use .bin or .dat for raw binary, .txt for hex text");
    if (options.connector)
        options.settings.ddcConnector = *options.connector;
    options.path = *path;
    return kExitOk;
}

// A transfer opened on its context (declared first, destroyed last).
struct OpenedTransfer {
    std::unique_ptr<SimulatedConnectorTree> connectorTree;
    std::unique_ptr<DdcContext> ddc;
    std::unique_ptr<OpenTransfer> open;
    SimulatedHardware* simulated = nullptr;

    EepromTransfer& transfer() { return open->transfer(); }
};

// The hardware of the run: a simulated EEPROM preloaded with the file, or
// the machine's own ports, adapter and buses. A simulated DDC port finds its
// connector in the tree PELLAM_SYSFS_ROOT names, or else on a simulated
// connector of its own (named by --connector, or card0-HDMI-A-1). The
// machine's own DDC buses are looked up in /sys only: a tree from elsewhere
// could lead to any bus.
std::unique_ptr<DdcHardware> hardwareFor(TransferOptions& options, OpenedTransfer& opened,
                                         std::ostream& err) {
    if (!options.simulate)
        return makeSystemHardware();
    EdidImage preload{};
    if (!readInput(*options.simulate, preload, err))
        return nullptr;
    auto hardware = std::make_unique<SimulatedHardware>();
    std::copy(preload.begin(), preload.end(), hardware->eeprom.memory().begin());
    opened.simulated = hardware.get();
    if (options.settings.portType != kPortDdc)
        return hardware;
    const char* tree = std::getenv("PELLAM_SYSFS_ROOT");
    if (tree && *tree) {
        hardware->ddcBuses.sysRoot = tree;
        if (!options.connector) {
            for (const DrmConnector& c : listDrmConnectors(tree)) {
                if (c.connected() && c.hasBus()) {
                    options.settings.ddcConnector = c.name;
                    break;
                }
            }
        }
        return hardware;
    }
    if (!options.connector)
        options.settings.ddcConnector = "card0-HDMI-A-1";
    opened.connectorTree = std::make_unique<SimulatedConnectorTree>(options.settings.ddcConnector,
                                                                    std::span<const Byte>(preload));
    if (opened.connectorTree->root().empty()) {
        err << "pellam-cli: the simulated display connector could not be made\n";
        return nullptr;
    }
    hardware->ddcBuses.sysRoot = opened.connectorTree->root();
    return hardware;
}

// Progress on a terminal: one line, rewritten as the percentage moves.
class ProgressLine final : public TransferObserver {
public:
    explicit ProgressLine(std::ostream* terminal)
        : m_out(terminal) {}
    ~ProgressLine() override { finish(); }
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    void phaseStarted(TransferPhase phase) override {
        m_phase = phase == TransferPhase::Backup  ? "Backing up"
                  : phase == TransferPhase::Read  ? "Reading"
                  : phase == TransferPhase::Write ? "Writing"
                                                  : "Verifying";
        m_percent = -1;
        show(0);
    }
    void stepDone(TransferPhase, std::size_t address, std::span<const Byte> bytes) override {
        show(static_cast<int>((address + bytes.size()) * 100 / kImageSize));
    }
    void finish() {
        if (m_out && m_shown)
            *m_out << "\n" << std::flush;
        m_shown = false;
    }

private:
    void show(int percent) {
        if (!m_out || percent == m_percent)
            return;
        m_percent = percent;
        char text[32];
        std::snprintf(text, sizeof text, "\r%-10s %3d%%", m_phase, percent);
        *m_out << text << std::flush;
        m_shown = true;
    }

    std::ostream* m_out;
    const char* m_phase = "";
    int m_percent = -1;
    bool m_shown = false;
};

// Opens the transfer of the chosen port on the chosen hardware; on failure
// writes why and returns false.
bool openTransfer(TransferOptions& options, OpenedTransfer& opened, std::ostream& err) {
    auto hardware = hardwareFor(options, opened, err);
    if (!hardware)
        return false;
    opened.ddc = std::make_unique<DdcContext>(std::move(hardware));
    opened.ddc->settings() = options.settings;
    // The reasons of a port that cannot be used come again from the transfer.
    opened.ddc->openPort([](const UserNotice&) {});
    opened.open = std::make_unique<OpenTransfer>(*opened.ddc);
    if (!opened.open->ready()) {
        err << "pellam-cli: " << opened.open->problem() << "\n";
        return false;
    }
    return true;
}

std::string sinkName(const OpenedTransfer& opened) {
    return opened.open->sink() + (opened.simulated ? " (simulated)" : "");
}

} // namespace

int readVerb(const Args& args, std::ostream& out, std::ostream& err) {
    TransferOptions options;
    if (const int status = parseOptions("read", args, false, options, err))
        return status;
    if (!isWritablePath(options.path))
        return usageError(err, "cannot write \"" + options.path +
                                   "\": use .bin or .dat for raw binary, .txt for hex text");
    OpenedTransfer opened;
    if (!openTransfer(options, opened, err))
        return kExitUsage;
    ProgressLine progress(isTerminal(err) ? &err : nullptr);
    const EepromReadResult read = readEeprom(opened.transfer(), progress);
    opened.open->close();
    progress.finish();
    if (read.status != EepromReadResult::Status::Complete) {
        err << "pellam-cli: " << read.message << "\n";
        return kExitUsage;
    }
    // The blocks the content declares (block 0 alone when byte 126 is 0).
    const std::size_t length = read.bytes[kExtensionCountOffset] == 0 ? kBlockSize : kImageSize;
    if (!writeOutput(options.path, std::span(read.bytes).first(length), err))
        return kExitUsage;
    out << "read: " << length << " bytes from " << sinkName(opened) << " saved to "
        << options.path << "\n";
    return kExitOk;
}

namespace {

// The write transaction of write and restore: the backup, the write of the
// image, the verify; the summary on `out`.
int writeTransaction(const std::string& verb, TransferOptions& options, const EdidImage& image,
                     std::ostream& out, std::ostream& err) {
    OpenedTransfer opened;
    if (!openTransfer(options, opened, err))
        return kExitUsage;
    ProgressLine progress(isTerminal(err) ? &err : nullptr);
    WriteTransactionOptions transaction;
    transaction.backupDirectory = defaultBackupDirectory();
    const bool force = options.force;
    transaction.confirmOverwrite = [force](const std::string&) { return force; };
    const EepromWriteResult result =
        writeEepromTransaction(opened.transfer(), image, progress, transaction);
    opened.open->close();
    progress.finish();

    if (!result.backupPath.empty())
        out << "backup: " << result.backupPath << "\n";
    int status = kExitOk;
    using Status = EepromWriteResult::Status;
    if (result.status == Status::Pass) {
        out << verb << ": PASS, ";
        if (result.fast)
            out << result.pagesWritten << " of 32 pages differed and were written to "
                << sinkName(opened) << ", all 256 bytes verified\n";
        else
            out << "256 bytes written to " << sinkName(opened) << " and verified\n";
    } else if (result.status == Status::Fail) {
        // The backup has its own line.
        out << verb << ": FAIL, " << result.message.substr(0, result.message.find('\n')) << "\n";
        status = kExitFailed;
    } else {
        err << "pellam-cli: " << result.message << "\n";
        if (result.status == Status::Refused)
            err << "pellam-cli: --force overwrites it.\n";
        status = kExitUsage;
    }
    if (options.simulatedOutput && opened.simulated) {
        EdidImage held{};
        std::copy(opened.simulated->eeprom.memory().begin(),
                  opened.simulated->eeprom.memory().end(), held.begin());
        const std::string contents =
            fileTypeFromPath(*options.simulatedOutput) == EdidFileType::RawBinary
                ? formatRawBinary(held)
                : formatListText(held);
        const WriteResult written = writeFileReplacing(*options.simulatedOutput, contents);
        if (!written.ok) {
            err << "pellam-cli: " << written.message << "\n";
            return kExitUsage;
        }
    }
    return status;
}

} // namespace

int writeVerb(const Args& args, std::ostream& out, std::ostream& err) {
    TransferOptions options;
    if (const int status = parseOptions("write", args, true, options, err))
        return status;
    EdidBytes bytes;
    if (!readInput(options.path, bytes, err))
        return kExitUsage;
    if (!hasEdidHeader(bytes)) {
        err << "pellam-cli: " << options.path << ": " << kMsgEdidFileFormatIncorrect << "\n";
        return kExitUsage;
    }
    if (bytes.size() > kImageSize) {
        err << "pellam-cli: " << options.path << ": " << kMsgImageTooLongForTransfer << "\n";
        return kExitUsage;
    }
    EdidImage image{};
    std::copy(bytes.begin(), bytes.end(), image.begin());
    return writeTransaction("write", options, image, out, err);
}

int restoreVerb(const Args& args, std::ostream& out, std::ostream& err) {
    TransferOptions options;
    if (const int status = parseOptions("restore", args, true, options, err))
        return status;
    // A backup is the EEPROM's 256 bytes as they were, whatever they hold.
    std::ifstream in(options.path, std::ios::binary);
    if (!in) {
        err << "pellam-cli: cannot read \"" << options.path << "\"\n";
        return kExitUsage;
    }
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (bytes.size() != kImageSize) {
        err << "pellam-cli: \"" << options.path << "\" is no backup: a backup holds 256 bytes, "
            << "this file " << bytes.size() << "\n";
        return kExitUsage;
    }
    EdidImage image{};
    std::copy(bytes.begin(), bytes.end(), image.begin());
    return writeTransaction("restore", options, image, out, err);
}

} // namespace pellam::cli
