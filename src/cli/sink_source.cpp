#include "cli/sink_source.h"

#include "cli/cli.h"
#include "core/ddc/ddc_context.h"
#include "core/ddc/drm_connectors.h"
#include "core/ddc/eeprom_transfer.h"
#include "core/ddc/eeprom_workflow.h"
#include "core/edid/hex.h"

#include <cctype>
#include <cstdlib>
#include <memory>
#include <ostream>

namespace pellam::cli {

const char* const kPortOptionsText =
    R"(  --port TYPE       where the I2C bus is: LPT1, LPT2 (parallel port), USB (the
                    USB debug adapter), COM1 ... COM8 (serial port modem
                    lines), DDC (a display connector's own DDC bus through
                    i2c-dev); any case (default LPT1)
  --connector NAME  with --port DDC: the display connector, as pellam-cli
                    displays names it (card0-HDMI-A-1)
  --slave HEX       the sink's 8-bit I2C write address, even (default A0)
)";

std::optional<std::int32_t> parsePortType(std::string name) {
    for (char& c : name)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (std::size_t i = 0; i < kPortNames.size(); ++i)
        if (kPortNames[i] == name)
            return static_cast<std::int32_t>(i);
    return std::nullopt;
}

std::optional<Byte> parseSlaveAddress(std::string_view text) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        text.remove_prefix(2);
    const auto value = parseHexNumber(text);
    if (!value || *value > 0xFF || (*value & 1) != 0)
        return std::nullopt;
    return static_cast<Byte>(*value);
}

std::optional<SinkOptions> sinkOptionsFrom(const ParsedArgs& parsed, int& status,
                                           std::ostream& err) {
    status = kExitOk;
    if (!parsed.has("--port") && !parsed.has("--connector") && !parsed.has("--slave") &&
        !parsed.has("--simulate"))
        return std::nullopt;
    SinkOptions options;
    if (const auto port = parsed.last("--port")) {
        const auto type = parsePortType(*port);
        if (!type) {
            status = usageError(err, "unknown port type '" + displayText(*port) +
                                         "' (LPT1, LPT2, USB, COM1 ... COM8, DDC)");
            return std::nullopt;
        }
        options.settings.portType = *type;
        options.settings.delayCount = defaultDelayCount(*type);
    }
    if (const auto slave = parsed.last("--slave")) {
        const auto address = parseSlaveAddress(*slave);
        if (!address) {
            status = usageError(err, "--slave takes an even 8-bit I2C address in hex, such as A0, "
                                     "not '" + displayText(*slave) + "'");
            return std::nullopt;
        }
        options.settings.slaveAddress = *address;
    }
    options.connector = parsed.last("--connector");
    if (options.connector &&
        (options.connector->empty() || options.connector->find('/') != std::string::npos)) {
        status = usageError(err, "--connector takes a connector name such as card0-HDMI-A-1, not '" +
                                     displayText(*options.connector) + "'");
        return std::nullopt;
    }
    options.simulate = parsed.last("--simulate");
    const bool ddc = options.settings.portType == kPortDdc;
    if (options.connector && !ddc) {
        status = usageError(err, "--connector goes with --port DDC");
        return std::nullopt;
    }
    if (ddc && !options.connector && !options.simulate) {
        status = usageError(err, "--port DDC needs --connector NAME (pellam-cli displays lists "
                                 "the connectors)");
        return std::nullopt;
    }
    if (options.connector)
        options.settings.ddcConnector = *options.connector;
    return options;
}

namespace {

// The hardware of the read and what it needs to live as long as it: the
// machine's own, or a simulated EEPROM preloaded with a file (behind a
// simulated connector for the DDC port type, or behind the connectors of the
// tree PELLAM_SYSFS_ROOT names).
struct Hardware {
    std::unique_ptr<SimulatedConnectorTree> tree;
    std::unique_ptr<DdcHardware> hardware;
};

bool makeHardware(SinkOptions& options, Hardware& made, std::ostream& err) {
    if (!options.simulate) {
        made.hardware = makeSystemHardware();
        return true;
    }
    EdidImage preload{};
    if (!readInput(*options.simulate, preload, err))
        return false;
    auto simulated = std::make_unique<SimulatedHardware>();
    std::copy(preload.begin(), preload.end(), simulated->eeprom.memory().begin());
    if (options.settings.portType == kPortDdc) {
        const char* root = std::getenv("PELLAM_SYSFS_ROOT");
        if (root && *root) {
            simulated->ddcBuses.sysRoot = root;
            for (const DrmConnector& c : listDrmConnectors(root))
                if (!options.connector && c.connected() && c.hasBus()) {
                    options.settings.ddcConnector = c.name;
                    break;
                }
        } else {
            if (!options.connector)
                options.settings.ddcConnector = "card0-HDMI-A-1";
            made.tree = std::make_unique<SimulatedConnectorTree>(options.settings.ddcConnector,
                                                                 std::span<const Byte>(preload));
            if (made.tree->root().empty()) {
                err << "pellam-cli: the simulated display connector could not be made\n";
                return false;
            }
            simulated->ddcBuses.sysRoot = made.tree->root();
        }
    }
    made.hardware = std::move(simulated);
    return true;
}

} // namespace

bool readSink(SinkOptions options, SinkRead& read, std::ostream& err) {
    Hardware made;
    if (!makeHardware(options, made, err))
        return false;
    const bool simulated = options.simulate.has_value();
    DdcContext ddc(std::move(made.hardware));
    ddc.settings() = options.settings;
    // The reasons of a port that cannot be used come again from the transfer.
    ddc.openPort([](const UserNotice&) {});
    OpenTransfer open(ddc);
    if (!open.ready()) {
        err << "pellam-cli: " << open.problem() << "\n";
        return false;
    }
    TransferObserver unobserved;
    const EepromReadResult result = readEeprom(open.transfer(), unobserved);
    read.name = open.sink() + (simulated ? " (simulated)" : "");
    open.close();
    if (result.status != EepromReadResult::Status::Complete) {
        err << "pellam-cli: " << result.message << " Nothing was analysed.\n";
        return false;
    }
    read.bytes.assign(result.bytes.begin(), result.bytes.end());
    return true;
}

} // namespace pellam::cli
