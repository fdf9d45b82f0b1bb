// pellam-cli displays: the display connectors of this machine, with the
// monitor each one shows and the I2C bus of its DDC lines.
#include "cli/cli.h"
#include "cli/cli_support.h"
#include "cli/structured_output.h"
#include "cli/verbs.h"
#include "core/ddc/drm_connectors.h"
#include "core/edid/hex.h"

#include <cstdlib>
#include <ostream>

namespace pellam::cli {

const std::string kDisplaysHelp = R"(Usage: pellam-cli displays [--json]

Lists the display connectors of the graphics cards (/sys/class/drm), one line
each: the connector name (the name the DDC port type takes), the monitor name
from the EDID the kernel read, whether a display is connected, and the I2C
bus of its DDC lines (/dev/i2c-N, offered by the i2c-dev module).
Monitor names are shown as the EDID holds them, each byte that is not
printable text as \xNN.

Options:
  --json            print the same as a JSON array, with the EDID in
                    hexadecimal

Environment: PELLAM_SYSFS_ROOT, when set, is the folder read in place of
/sys (for tests and demonstrations).

Exit status: 0, or 2 on a usage error or output that cannot be written.
)";

namespace {

const OptionRule kDisplaysOptions[] = {{"--json", nullptr, false}};

} // namespace

int displaysVerb(const Args& args, std::ostream& out, std::ostream& err) {
    ParsedArgs parsed;
    if (const int status = parseArguments("displays", args, kDisplaysOptions, parsed, err))
        return status;
    if (!parsed.operands.empty())
        return usageError(err, "displays takes no file");
    const bool json = parsed.has("--json");
    // The sysfs root can be moved for tests and demonstrations.
    const char* root = std::getenv("PELLAM_SYSFS_ROOT");
    const auto connectors = listDrmConnectors(root && *root ? root : "/sys");
    if (json) {
        // The names come from the EDIDs and the kernel: any bytes at all.
        JsonWriter writer(out);
        writer.beginArray();
        for (const DrmConnector& c : connectors) {
            std::string edid;
            for (Byte b : c.edid)
                edid += hexByte(b);
            writer.beginObject();
            writer.field("name", c.name).field("status", c.status);
            writer.field("monitor", c.monitorName).field("bus", c.devicePath);
            writer.field("edid", edid);
            writer.endObject();
        }
        writer.endArray();
        out << "\n";
        return kExitOk;
    }
    if (connectors.empty())
        err << "pellam-cli: no display connectors found (is this a machine with a DRM graphics "
               "driver?)\n";
    for (const DrmConnector& c : connectors)
        out << displayText(connectorLabel(c)) << "  "
            << (c.hasBus() ? displayText(c.devicePath) : std::string("(no DDC bus)")) << "\n";
    return kExitOk;
}

} // namespace pellam::cli
