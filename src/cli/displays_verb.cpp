// pellam-cli displays: the display connectors of this machine, with the
// monitor each one shows and the I2C bus of its DDC lines.
#include "cli/cli.h"
#include "cli/cli_support.h"
#include "cli/verbs.h"
#include "core/ddc/drm_connectors.h"
#include "core/edid/hex.h"

#include <cstdlib>
#include <nlohmann/json.hpp>
#include <ostream>

namespace pellam::cli {

const std::string kDisplaysHelp = R"(Usage: pellam-cli displays [--json]

Lists the display connectors of the graphics cards (/sys/class/drm), one line
each: the connector name (the name the DDC port type takes), the monitor name
from the EDID the kernel read, whether a display is connected, and the I2C
bus of its DDC lines (/dev/i2c-N, offered by the i2c-dev module).
--json prints the same as a JSON array, with the EDID in hexadecimal.

Exit status: 0, or 2 on a usage error.
)";

int displaysVerb(const Args& args, std::ostream& out, std::ostream& err) {
    bool json = false;
    for (const std::string& arg : args) {
        if (arg == "--json")
            json = true;
        else
            return usageError(err, "displays takes only --json");
    }
    // The sysfs root can be moved for tests and demonstrations.
    const char* root = std::getenv("PELLAM_SYSFS_ROOT");
    const auto connectors = listDrmConnectors(root && *root ? root : "/sys");
    if (json) {
        nlohmann::json list = nlohmann::json::array();
        for (const DrmConnector& c : connectors) {
            std::string edid;
            for (Byte b : c.edid)
                edid += hexByte(b);
            list.push_back({{"name", c.name},
                            {"status", c.status},
                            {"monitor", c.monitorName},
                            {"bus", c.devicePath},
                            {"edid", edid}});
        }
        out << list.dump(2) << "\n";
        return kExitOk;
    }
    if (connectors.empty())
        err << "pellam-cli: no display connectors found (is this a machine with a DRM graphics "
               "driver?)\n";
    for (const DrmConnector& c : connectors)
        out << connectorLabel(c) << "  "
            << (c.hasBus() ? c.devicePath : std::string("(no DDC bus)")) << "\n";
    return kExitOk;
}

} // namespace pellam::cli
