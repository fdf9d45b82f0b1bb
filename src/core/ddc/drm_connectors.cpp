#include "core/ddc/drm_connectors.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <regex>

namespace pellam {

namespace fs = std::filesystem;

namespace {

std::string readSmallFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return {};
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string trimmed(std::string text) {
    const auto notBlank = [](unsigned char c) { return c > ' '; };
    text.erase(std::find_if(text.rbegin(), text.rend(), notBlank).base(), text.end());
    text.erase(text.begin(), std::find_if(text.begin(), text.end(), notBlank));
    return text;
}

bool isBusName(const std::string& name) {
    static const std::regex busName("i2c-[0-9]+");
    return std::regex_match(name, busName);
}

// The bus the connector's DDC lines are on, or empty.
std::string connectorBus(const fs::path& connectorDir) {
    std::error_code ec;
    const fs::path ddc = connectorDir / "ddc";
    if (fs::is_symlink(ddc, ec)) {
        // The link must lead to an existing adapter whose name is i2c-N.
        const fs::path target = fs::canonical(ddc, ec);
        if (!ec && isBusName(target.filename().string()))
            return target.filename().string();
        return {};
    }
    std::vector<std::string> buses;
    for (const auto& entry : fs::directory_iterator(connectorDir, ec)) {
        const std::string name = entry.path().filename().string();
        if (isBusName(name) && entry.is_directory(ec))
            buses.push_back(name);
    }
    std::sort(buses.begin(), buses.end());
    return buses.empty() ? std::string() : buses.front();
}

bool isConnectorName(const std::string& name) {
    // card<N>-<type>-<index>, e.g. card0-HDMI-A-1, card1-eDP-1; not card0 itself
    // nor render nodes.
    static const std::regex connector("card[0-9]+-.+");
    return std::regex_match(name, connector);
}

DrmConnector readConnector(const fs::path& dir) {
    DrmConnector c;
    c.name = dir.filename().string();
    c.status = trimmed(readSmallFile(dir / "status"));
    if (c.status.empty())
        c.status = "unknown";
    const std::string edid = readSmallFile(dir / "edid");
    c.edid.assign(edid.begin(), edid.end());
    c.monitorName = monitorNameFromEdid(c.edid);
    c.i2cBus = connectorBus(dir);
    if (!c.i2cBus.empty())
        c.devicePath = "/dev/" + c.i2cBus;
    return c;
}

} // namespace

std::string monitorNameFromEdid(const std::vector<Byte>& edid) {
    for (std::size_t slot = 54; slot + 18 <= std::min<std::size_t>(edid.size(), 126); slot += 18) {
        if (edid[slot] != 0 || edid[slot + 1] != 0 || edid[slot + 2] != 0 || edid[slot + 3] != 0xFC)
            continue;
        std::string name;
        for (std::size_t i = slot + 5; i < slot + 18 && edid[i] != 0x0A; ++i)
            name += static_cast<char>(edid[i]);
        return trimmed(name);
    }
    return {};
}

std::vector<DrmConnector> listDrmConnectors(const fs::path& sysRoot) {
    std::vector<DrmConnector> connectors;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(sysRoot / "class" / "drm", ec)) {
        const std::string name = entry.path().filename().string();
        if (isConnectorName(name) && entry.is_directory(ec))
            connectors.push_back(readConnector(entry.path()));
    }
    std::sort(connectors.begin(), connectors.end(),
              [](const DrmConnector& a, const DrmConnector& b) { return a.name < b.name; });
    return connectors;
}

std::optional<DrmConnector> findDrmConnector(const std::string& name, const fs::path& sysRoot) {
    if (!isConnectorName(name) || name.find('/') != std::string::npos)
        return std::nullopt;
    std::error_code ec;
    const fs::path dir = sysRoot / "class" / "drm" / name;
    if (!fs::is_directory(dir, ec))
        return std::nullopt;
    return readConnector(dir);
}

bool isInternalPanel(const std::string& connectorName) {
    static const std::regex panel("card[0-9]+-(eDP|LVDS|DSI)-.*");
    return std::regex_match(connectorName, panel);
}

std::string connectorLabel(const DrmConnector& connector) {
    std::string label = connector.name;
    if (!connector.monitorName.empty())
        label += " \u2014 " + connector.monitorName;
    return label + " (" + connector.status + ")";
}

} // namespace pellam
