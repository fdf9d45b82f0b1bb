// The display connectors of the graphics cards, as the kernel's DRM subsystem
// lists them under /sys/class/drm: each with its state, the EDID the kernel
// read from the display, and the I2C bus of its DDC lines (offered by the
// i2c-dev module as /dev/i2c-N).
#pragma once

#include "core/edid/bits.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace pellam {

struct DrmConnector {
    std::string name;        // "card0-HDMI-A-1"
    std::string status;      // "connected", "disconnected" or "unknown"
    std::vector<Byte> edid;  // as the kernel holds it; empty when there is none
    std::string monitorName; // from the EDID's monitor name descriptor, or empty
    std::string i2cBus;      // "i2c-5", or empty when the connector names no DDC bus
    std::string devicePath;  // "/dev/i2c-5", or empty

    bool connected() const { return status == "connected"; }
    bool hasBus() const { return !i2cBus.empty(); }
};

// The connectors under <sysRoot>/class/drm, sorted by name. A connector's
// DDC bus is its `ddc` link, or else an `i2c-N` folder inside it (the DP AUX
// channel of some drivers); a link that leads nowhere counts as none. Only
// these buses are ever offered for writing: other I2C adapters (the memory
// modules' SMBus) hold EEPROMs at the same address.
std::vector<DrmConnector> listDrmConnectors(const std::filesystem::path& sysRoot = "/sys");

// The connector of that name, if the system has it.
std::optional<DrmConnector> findDrmConnector(const std::string& name,
                                             const std::filesystem::path& sysRoot = "/sys");

// A connector of a panel built into the machine (eDP, LVDS, DSI): its EDID
// belongs to the panel, and its bus is often the panel's DP AUX channel.
// Pellam reads such a connector but never writes it.
bool isInternalPanel(const std::string& connectorName);

// "card0-HDMI-A-1 — Korvo Demo (connected)"; without a monitor name
// "card0-DP-1 (disconnected)".
std::string connectorLabel(const DrmConnector& connector);

// The monitor name (descriptor tag FCh) of an EDID's base block: the text up
// to the line feed, trailing blanks removed; empty when there is none.
std::string monitorNameFromEdid(const std::vector<Byte>& edid);

} // namespace pellam
