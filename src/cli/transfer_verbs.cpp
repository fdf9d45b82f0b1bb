// pellam-cli read / write / restore: the sink's EDID EEPROM over I2C, read
// into a file or written from one and verified, by the same workflow as the
// editor's transfer buttons.
#include "cli/cli.h"
#include "cli/cli_support.h"
#include "cli/sink_source.h"
#include "cli/verbs.h"
#include "core/ddc/ddc_context.h"
#include "core/ddc/drm_connectors.h"
#include "core/ddc/eeprom_backup.h"
#include "core/ddc/eeprom_workflow.h"
#include "core/edid/edid_file.h"
#include "core/edid/hex.h"

#include <cctype>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <ostream>

namespace pellam::cli {

namespace {

// The options that choose the bus and the sink, as every transfer verb takes them.
const std::string kPortOptionsHelp = std::string(kPortOptionsText) +
                                     R"(  --eeprom KIND     the sink's EEPROM: 24C01 (or 24C21, 128 bytes), 24C02
                    (256), 24C04 (512), 24C08 (1 KiB), 24C16 (2 KiB), whose
                    blocks sit at the slave addresses A0h, A2h ..., or E-DDC
                    (a sink that answers the segment pointer at 60h, up to
                    32 KiB in segments of 256 bytes); default 24C02, E-DDC
                    with --port DDC
  --usb-serial SN   with --port USB: the adapter with this serial number (when
                    several are connected)
)";

const char* const kSettingsNote =
    R"(pellam-cli does not read the editor's I2C settings (~/.config/Korvo/Tarnix.conf):
it starts from the defaults (LPT1 at base address 0x378 with 500 delay loops,
USB at 96 kHz, slave address A0) and the options above.
)";

const char* const kSimulateHelp =
    R"(  --simulate FILE   demo and test mode: no hardware is touched; the transfer
                    runs against a simulated EEPROM of the --eeprom kind
                    preloaded with the EDID file FILE (with --port DDC on a
                    simulated connector, or on the connectors of the sysfs
                    tree PELLAM_SYSFS_ROOT names). PELLAM_SIMULATE_FAULTS
                    switches on faults of the simulated hardware, and
                    PELLAM_SIMULATE_PACE=1 runs it in real time
)";

} // namespace

const std::string kReadHelp =
    std::string(R"(Usage: pellam-cli read [--port TYPE] [--connector NAME] [--slave HEX]
                       [--eeprom KIND] [--usb-serial SN] [--bytes N]
                       [--simulate FILE] OUT

Reads the sink's EDID EEPROM over I2C and writes what it read to OUT in the
form OUT's extension names (.bin/.BIN/.dat/.DAT raw binary, .txt/.TXT hex
text): the blocks the content declares (block 0, then as many blocks as its
byte 126 names, up to what the EEPROM holds), or with --bytes N the first N
bytes as they are. The summary line says how many bytes were saved.

Options:
)") + kPortOptionsHelp +
    R"(  --bytes N         a raw dump of the first N bytes (1 to the EEPROM's size),
                    whatever they hold
)" + kSimulateHelp + "\n" +
    std::string(kSettingsNote) + R"(
On a terminal the progress is shown on standard error. One summary line goes
to standard output.

Exit status: 0 when the read is complete and OUT written; 1 when byte 126
declares more blocks than the EEPROM holds (what it holds is saved); 2 on a
usage error, a port or adapter that cannot be used, a sink that does not
answer (OUT is then not written), a content of nothing but 00h or FFh (no
EDID content: a blank EEPROM, no sink, or a stuck line; OUT is written only
with --bytes) or an OUT that cannot be written.
)";

const std::string kWriteHelp =
    std::string(R"(Usage: pellam-cli write [--port TYPE] [--connector NAME] [--slave HEX]
                        [--eeprom KIND] [--usb-serial SN] [--fast] [--force]
                        [--simulate FILE [--sim-out FILE]] IN

Writes the EDID file IN into the sink's EDID EEPROM over I2C, exactly its
bytes and no more, as a transaction. First IN is checked: its EDID header,
every block's checksum, byte 126 against its length, and its size against
the EEPROM's; then the EEPROM's content over IN's length is read and saved
as a backup file, whose path is printed before the first byte is written;
then IN is written; then every byte is read back and compared. Nothing is
written when IN fails a check (without --force), is larger than the EEPROM,
or when the backup cannot be read or saved. Writes to an internal panel's
connector (eDP, LVDS, DSI) are always refused.

On SIGINT or SIGTERM (Ctrl-C) the write finishes the byte or page under way
and stops; pellam-cli then says what was written and prints the command that
restores the backup.

Backups go to $XDG_DATA_HOME/pellam/backups (~/.local/share/pellam/backups),
named after the port or connector and the time; pellam-cli restore writes one
back.

Options:
)") + kPortOptionsHelp +
    R"(  --fast            write only the 8-byte pages that differ from the EEPROM's
                    content, each in one page write followed by acknowledge
                    polling, and verify in sequential reads (always so with
                    --port DDC); otherwise every byte one by one
  --force           write an IN that fails its checks, and with --port DDC
                    overwrite an EEPROM whose content does not start with the
                    EDID header (without it, such a write is refused: the bus
                    may hold another device's memory)
)" + kSimulateHelp +
    R"(  --sim-out FILE    with --simulate: afterwards, save what the simulated EEPROM
                    holds to FILE (.bin, .dat or .txt)

)" + std::string(kSettingsNote) +
    R"(
On a terminal the progress is shown on standard error. Standard output gets
the backup's path ("backup: PATH") as soon as it is saved, and one summary
line: PASS, FAIL with the first differing address, both bytes and every
differing address (naming write protection when the EEPROM kept its old
bytes), or STOPPED; after a write that changed the EEPROM but did not pass,
a last line "undo: pellam-cli restore ..." gives the command that puts the
backup back.

Exit status: 0 when the verify passes; 1 when the EEPROM reads back other
bytes than were written; 2 on a usage error, an IN that cannot be read or
fails its checks, an IN larger than the EEPROM, a port or adapter that
cannot be used, a sink that does not answer, a backup that cannot be saved,
or a content refused without --force; 128 + the signal's number when a
signal stopped the write.
)";

const std::string kRestoreHelp =
    R"(Usage: pellam-cli restore [--port TYPE] [--connector NAME] [--slave HEX]
                          [--eeprom KIND] [--usb-serial SN] [--fast] [--force]
                          [--simulate FILE [--sim-out FILE]] BACKUP

Writes a backup that pellam-cli write or the editor saved (a raw binary file
of the bytes the EEPROM held) back into the sink's EEPROM, as a write does:
the current content is backed up first, then BACKUP is written and
verified. A BACKUP that is no EDID (an EEPROM that was blank, a text file)
is refused unless --force is given.

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
    std::optional<std::size_t> bytes;
    std::string path;
    // The options as given that choose the bus and the sink, for the
    // restore command.
    std::vector<std::string> busOptions;
};

std::optional<std::size_t> countNamed(const std::string& text) {
    if (text.empty() || !std::isdigit(static_cast<unsigned char>(text[0])))
        return std::nullopt;
    char* end = nullptr;
    const unsigned long long value = std::strtoull(text.c_str(), &end, 0);
    if (!end || *end != '\0' || value == 0 || value > kMaxEdidSize)
        return std::nullopt;
    return static_cast<std::size_t>(value);
}

// Parses the options of read (writes false) or of write and restore.
// Returns 0 or the exit status of a usage error (the message written).
int parseOptions(const std::string& verb, const Args& args, bool writes, TransferOptions& options,
                 std::ostream& err) {
    std::optional<std::string> path;
    bool slaveGiven = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool takesValue = arg == "--port" || arg == "--slave" || arg == "--simulate" ||
                                arg == "--connector" || arg == "--eeprom" ||
                                arg == "--usb-serial" || (!writes && arg == "--bytes") ||
                                (writes && arg == "--sim-out");
        if (takesValue && i + 1 >= args.size())
            return usageError(err, arg + " needs a value");
        if (arg == "--port") {
            const auto type = parsePortType(args[++i]);
            if (!type)
                return usageError(err, "unknown port type '" + args[i] +
                                           "' (LPT1, LPT2, USB, COM1 ... COM8, DDC)");
            options.settings.portType = *type;
            options.settings.delayCount = defaultDelayCount(*type);
            options.busOptions.insert(options.busOptions.end(), {arg, args[i]});
        } else if (arg == "--slave") {
            const auto slave = parseSlaveAddress(args[++i]);
            if (!slave)
                return usageError(err, "--slave takes an even 8-bit I2C address in hex, such as "
                                       "A0, not '" +
                                           args[i] + "'");
            options.settings.slaveAddress = *slave;
            slaveGiven = true;
            options.busOptions.insert(options.busOptions.end(), {arg, hexByte(*slave)});
        } else if (arg == "--eeprom") {
            const auto kind = eepromKindNamed(args[++i]);
            if (!kind)
                return usageError(err, "unknown EEPROM '" + args[i] +
                                           "' (24C01, 24C21, 24C02, 24C04, 24C08, 24C16, E-DDC)");
            options.settings.eeprom = *kind;
            options.busOptions.insert(options.busOptions.end(), {arg, args[i]});
        } else if (arg == "--usb-serial") {
            options.settings.usbSerial = args[++i];
            options.busOptions.insert(options.busOptions.end(), {arg, args[i]});
        } else if (arg == "--connector") {
            options.connector = args[++i];
            if (options.connector->empty() || options.connector->find('/') != std::string::npos)
                return usageError(err, "--connector takes a connector name such as "
                                       "card0-HDMI-A-1, not '" +
                                           *options.connector + "'");
            options.busOptions.insert(options.busOptions.end(), {arg, args[i]});
        } else if (!writes && arg == "--bytes") {
            options.bytes = countNamed(args[++i]);
            if (!options.bytes)
                return usageError(err, "--bytes takes a number of bytes from 1 to 32768, not '" +
                                           args[i] + "'");
        } else if (arg == "--simulate") {
            options.simulate = args[++i];
        } else if (writes && arg == "--sim-out") {
            options.simulatedOutput = args[++i];
        } else if (writes && arg == "--fast") {
            options.settings.fastWrite = true;
            options.busOptions.push_back(arg);
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
    if (!options.settings.usbSerial.empty() && options.settings.portType != kPortUsb)
        return usageError(err, "--usb-serial goes with --port USB");
    const EepromKind kind = options.settings.eepromKind();
    const Byte blockBits = blockSelectMask(kind);
    if (slaveGiven && (options.settings.slaveAddress & blockBits) != 0)
        return usageError(err, "a " + std::string(eepromKindName(kind)) +
                                   " answers at its block addresses: give --slave with the "
                                   "block bits 0 (such as A0)");
    if (options.bytes && *options.bytes > eepromCapacity(kind))
        return usageError(err, "--bytes " + std::to_string(*options.bytes) + " is more than a " +
                                   std::string(eepromKindName(kind)) + " holds (" +
                                   std::to_string(eepromCapacity(kind)) + " bytes)");
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

// The hardware of the run: a simulated EEPROM of the chosen kind preloaded
// with the file (an E-DDC sink holding at least `room` bytes), or the
// machine's own ports, adapter and buses. A simulated DDC port finds its
// connector in the tree PELLAM_SYSFS_ROOT names, or else on a simulated
// connector of its own (named by --connector, or card0-HDMI-A-1). The
// machine's own DDC buses are looked up in /sys only: a tree from elsewhere
// could lead to any bus.
std::unique_ptr<DdcHardware> hardwareFor(TransferOptions& options, OpenedTransfer& opened,
                                         std::size_t room, std::ostream& err) {
    if (!options.simulate)
        return makeSystemHardware();
    EdidBytes preload;
    if (!readInput(*options.simulate, preload, err))
        return nullptr;
    auto hardware = std::make_unique<SimulatedHardware>();
    const EepromKind kind = options.settings.eepromKind();
    const std::size_t eddcSize = (std::max({room, preload.size(), std::size_t{512}}) + 255) / 256 * 256;
    hardware->eeprom.setKind(kind, eddcSize);
    hardware->eeprom.memory() = preload;
    if (const char* pace = std::getenv("PELLAM_SIMULATE_PACE"); pace && *pace == '1')
        hardware->simulatedClock.paced = true;
    if (const char* faults = std::getenv("PELLAM_SIMULATE_FAULTS"); faults && *faults) {
        const std::string unknown = applySimulatedFaults(*hardware, faults);
        if (!unknown.empty()) {
            err << "pellam-cli: PELLAM_SIMULATE_FAULTS: unknown fault '" << unknown << "'\n";
            return nullptr;
        }
    }
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
    opened.connectorTree =
        std::make_unique<SimulatedConnectorTree>(options.settings.ddcConnector, preload);
    if (opened.connectorTree->root().empty()) {
        err << "pellam-cli: the simulated display connector could not be made\n";
        return nullptr;
    }
    hardware->ddcBuses.sysRoot = opened.connectorTree->root();
    return hardware;
}

// The signal that asked a write to stop, 0 while none did.
volatile std::sig_atomic_t g_stopSignal = 0;

extern "C" void onStopSignal(int signal) {
    g_stopSignal = signal;
}

// SIGINT and SIGTERM set g_stopSignal while the object lives, instead of
// ending the process in the middle of a page.
class StopSignals {
public:
    StopSignals() {
        g_stopSignal = 0;
        struct sigaction action {};
        action.sa_handler = onStopSignal;
        sigemptyset(&action.sa_mask);
        sigaction(SIGINT, &action, &m_oldInt);
        sigaction(SIGTERM, &action, &m_oldTerm);
    }
    ~StopSignals() {
        sigaction(SIGINT, &m_oldInt, nullptr);
        sigaction(SIGTERM, &m_oldTerm, nullptr);
    }
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

private:
    struct sigaction m_oldInt {};
    struct sigaction m_oldTerm {};
};

// Progress on a terminal: one line, rewritten as the percentage moves. A
// signal stops the transfer at its next step; the backup's path goes out
// as soon as the backup is saved.
class ProgressLine final : public TransferObserver {
public:
    ProgressLine(std::ostream* terminal, std::ostream& out)
        : m_terminal(terminal)
        , m_out(out) {}
    ~ProgressLine() override { finish(); }
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    void phaseLength(TransferPhase, std::size_t length) override { m_length = length; }
    void phaseStarted(TransferPhase phase) override {
        m_phase = phase == TransferPhase::Backup  ? "Backing up"
                  : phase == TransferPhase::Read  ? "Reading"
                  : phase == TransferPhase::Write ? "Writing"
                                                  : "Verifying";
        m_done = 0;
        m_percent = -1;
        show();
    }
    void stepDone(TransferPhase, std::size_t, std::span<const Byte> bytes) override {
        m_done += bytes.size();
        show();
    }
    bool stopRequested() override { return g_stopSignal != 0; }
    void backupSaved(const std::string& path) override {
        finish();
        m_out << "backup: " << path << "\n" << std::flush;
    }
    void finish() {
        if (m_terminal && m_shown)
            *m_terminal << "\n" << std::flush;
        m_shown = false;
    }

private:
    void show() {
        const int percent = m_length == 0 ? 0 : static_cast<int>(std::min(m_done, m_length) * 100 / m_length);
        if (!m_terminal || percent == m_percent)
            return;
        m_percent = percent;
        char text[32];
        std::snprintf(text, sizeof text, "\r%-10s %3d%%", m_phase, percent);
        *m_terminal << text << std::flush;
        m_shown = true;
    }

    std::ostream* m_terminal;
    std::ostream& m_out;
    const char* m_phase = "";
    std::size_t m_length = 0;
    std::size_t m_done = 0;
    int m_percent = -1;
    bool m_shown = false;
};

// Opens the transfer of the chosen port on the chosen hardware; on failure
// writes why and returns false.
bool openTransfer(TransferOptions& options, OpenedTransfer& opened, std::size_t room,
                  std::ostream& err) {
    auto hardware = hardwareFor(options, opened, room, err);
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

// A word as a shell reads it back: in single quotes unless it is plain.
std::string shellWord(const std::string& word) {
    const bool plain = !word.empty() && word.find_first_not_of(
                                            "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
                                            "0123456789-_./=:+@%,") == std::string::npos;
    if (plain)
        return word;
    std::string quoted = "'";
    for (char c : word)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// "pellam-cli restore --port USB ... PATH": what puts the backup back on the
// same sink.
std::string restoreCommand(const TransferOptions& options, const std::string& backup) {
    std::string command = "pellam-cli restore";
    for (const std::string& option : options.busOptions)
        command += " " + shellWord(option);
    // A backup need not hold an EDID (a blank EEPROM's).
    std::ifstream in(backup, std::ios::binary);
    char head[8] = {};
    in.read(head, sizeof head);
    const Byte header[8] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
    if (!in || !std::equal(std::begin(head), std::end(head), std::begin(header),
                           [](char a, Byte b) { return static_cast<Byte>(a) == b; }))
        command += " --force";
    return command + " " + shellWord(backup);
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
    if (!openTransfer(options, opened, 0, err))
        return kExitUsage;
    ProgressLine progress(isTerminal(err) ? &err : nullptr, out);
    const EepromReadResult read = readEeprom(opened.transfer(), progress, options.bytes);
    opened.open->close();
    progress.finish();
    using Status = EepromReadResult::Status;
    const bool saveBlank = read.status == Status::NoContent && options.bytes;
    if (read.status != Status::Complete && !saveBlank) {
        err << "pellam-cli: "
            << (read.message.empty() ? std::string("the read was stopped") : read.message)
            << (read.status == Status::NoContent ? " Nothing was saved." : "") << "\n";
        return kExitUsage;
    }
    const std::span<const Byte> bytes(read.bytes.data(), read.count);
    if (!writeOutput(options.path, bytes, err))
        return kExitUsage;
    out << "read: " << bytes.size() << " bytes ("
        << (options.bytes ? std::string("raw") : blockListText(bytes)) << ") from "
        << sinkName(opened) << " saved to " << options.path << "\n";
    if (saveBlank) {
        err << "pellam-cli: " << read.message << "\n";
        return kExitUsage;
    }
    if (!read.note.empty()) {
        err << "pellam-cli: " << read.note << "\n";
        return kExitFailed;
    }
    return kExitOk;
}

namespace {

void saveSimulatedContent(const TransferOptions& options, const OpenedTransfer& opened,
                          std::size_t length, std::ostream& err, int& status) {
    if (!options.simulatedOutput || !opened.simulated)
        return;
    const EepromMemory& memory = opened.simulated->eeprom.memory();
    const std::vector<Byte> held = memory.first(std::max(length, std::min<std::size_t>(
                                                                     memory.size(), kImageSize)));
    if (!writeOutput(*options.simulatedOutput, held, err))
        status = kExitUsage;
}

// The write transaction of write and restore: the checks, the backup, the
// write of the image, the verify; the summary on `out`. A backup is put
// back as it was: restore checks only its header, itself.
int writeTransaction(const std::string& verb, TransferOptions& options,
                     const std::vector<Byte>& image, std::ostream& out, std::ostream& err) {
    const bool restoring = verb == "restore";
    // What can be known without the sink is refused before anything opens.
    const EepromKind kind = options.settings.eepromKind();
    if (const std::string problem = capacityProblem(kind, image.size()); !problem.empty()) {
        err << "pellam-cli: " << options.path << ": " << problem << "\n";
        return kExitUsage;
    }
    const std::vector<std::string> problems =
        restoring ? std::vector<std::string>() : imageProblems(image);
    if (!problems.empty() && !options.force) {
        err << "pellam-cli: " << options.path << " is no sound EDID:";
        for (const std::string& problem : problems)
            err << "\n  " << problem;
        err << "\npellam-cli: nothing was written; --force writes it all the same.\n";
        return kExitUsage;
    }

    OpenedTransfer opened;
    if (!openTransfer(options, opened, image.size(), err))
        return kExitUsage;
    ProgressLine progress(isTerminal(err) ? &err : nullptr, out);
    WriteTransactionOptions transaction;
    transaction.backupDirectory = defaultBackupDirectory();
    const bool force = options.force;
    transaction.confirmOverwrite = [force](const std::string&) { return force; };
    transaction.confirmImage = [force, restoring](const std::string&) { return force || restoring; };
    EepromWriteResult result;
    int stoppedBy = 0;
    {
        const StopSignals signals;
        result = writeEepromTransaction(opened.transfer(), image, progress, transaction);
        stoppedBy = g_stopSignal;
    }
    opened.open->close();
    progress.finish();

    if (!result.backupNote.empty())
        err << "pellam-cli: " << result.backupNote << "\n";
    int status = kExitOk;
    using Status = EepromWriteResult::Status;
    const std::size_t pages = (result.length + kEepromPageSize - 1) / kEepromPageSize;
    const std::string firstLine = result.message.substr(0, result.message.find('\n'));
    if (result.status == Status::Pass) {
        out << verb << ": PASS, ";
        if (result.fast)
            out << result.pagesWritten << " of " << pages << " pages differed and were written to "
                << sinkName(opened) << ", all " << result.length << " bytes verified\n";
        else
            out << result.length << " bytes written to " << sinkName(opened) << " and verified\n";
    } else if (result.status == Status::Fail) {
        // The backup has its own line.
        out << verb << ": FAIL, " << firstLine << "\n";
        status = kExitFailed;
    } else if (result.status == Status::Stopped) {
        out << verb << ": STOPPED"
            << (stoppedBy == SIGINT    ? " by SIGINT"
                : stoppedBy == SIGTERM ? " by SIGTERM"
                                       : "")
            << ", "
            << (result.endedIn == TransferPhase::Backup
                    ? std::string("before anything was written.")
                    : firstLine.empty() ? std::string("in the verify.") : firstLine)
            << "\n";
        status = stoppedBy != 0 ? 128 + stoppedBy : kExitFailed;
    } else {
        err << "pellam-cli: " << result.message << "\n";
        if (result.status == Status::Refused &&
            result.message.find("does not hold an EDID") != std::string::npos)
            err << "pellam-cli: --force overwrites it.\n";
        status = kExitUsage;
    }
    // After a write that changed the EEPROM and did not pass: how to undo it.
    if (result.status != Status::Pass && !result.backupPath.empty() &&
        (result.written > 0 || result.endedIn == TransferPhase::Verify))
        out << "undo: " << restoreCommand(options, result.backupPath) << "\n";
    saveSimulatedContent(options, opened, image.size(), err, status);
    return status;
}

// Whether the bytes look like text (hex digits and blanks, as a .txt EDID
// has): a backup is raw binary.
bool looksLikeText(const std::string& bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return (u >= 0x20 && u < 0x7F) || c == '\t' || c == '\r' || c == '\n';
    });
}

int runGuarded(const char* verb, std::ostream& err, const std::function<int()>& body) {
    try {
        return body();
    } catch (const std::exception& e) {
        err << "pellam-cli: " << verb << " failed: " << e.what() << "\n";
    } catch (...) {
        err << "pellam-cli: " << verb << " failed\n";
    }
    return kExitUsage;
}

} // namespace

int writeVerb(const Args& args, std::ostream& out, std::ostream& err) {
    return runGuarded("write", err, [&] {
        TransferOptions options;
        if (const int status = parseOptions("write", args, true, options, err))
            return status;
        EdidBytes bytes;
        if (!readInput(options.path, bytes, err))
            return kExitUsage;
        return writeTransaction("write", options, bytes, out, err);
    });
}

int restoreVerb(const Args& args, std::ostream& out, std::ostream& err) {
    return runGuarded("restore", err, [&] {
        TransferOptions options;
        if (const int status = parseOptions("restore", args, true, options, err))
            return status;
        // A backup is the EEPROM's bytes as they were, raw.
        std::error_code ec;
        if (!std::filesystem::is_regular_file(options.path, ec)) {
            err << "pellam-cli: \"" << options.path << "\" is no backup: "
                << (std::filesystem::is_directory(options.path, ec)
                        ? "it is a folder; name one of the .bin files in it"
                        : std::filesystem::exists(options.path, ec) ? "it is not a regular file"
                                                                     : "there is no such file")
                << "\n";
            return kExitUsage;
        }
        std::ifstream in(options.path, std::ios::binary);
        std::string bytes;
        if (in)
            bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        if (!in && !in.eof()) {
            err << "pellam-cli: cannot read \"" << options.path << "\"\n";
            return kExitUsage;
        }
        if (bytes.empty() || bytes.size() > kMaxEdidSize) {
            err << "pellam-cli: \"" << options.path << "\" is no backup: it holds "
                << bytes.size() << " bytes\n";
            return kExitUsage;
        }
        const std::vector<Byte> image(bytes.begin(), bytes.end());
        if (!hasEdidHeader(image) && !options.force) {
            err << "pellam-cli: \"" << options.path << "\" "
                << (looksLikeText(bytes)
                        ? "is a text file, not a raw backup"
                        : "does not start with the EDID header (a backup of a blank EEPROM, or "
                          "no backup at all)")
                << ": nothing was written; --force restores it all the same.\n";
            return kExitUsage;
        }
        return writeTransaction("restore", options, image, out, err);
    });
}

} // namespace pellam::cli
