// A sysfs tree laid out the way the kernel lays out display connectors and
// I2C adapters, in a temporary folder.
#pragma once

#include "support/test_support.h"

#include <filesystem>
#include <string>

namespace pellam::test {

class FakeSysfs {
public:
    FakeSysfs() {
        device = dir.path() / "devices" / "pci0000:00" / "0000:00:02.0";
        std::filesystem::create_directories(dir.path() / "class" / "drm");
        std::filesystem::create_directories(device / "drm" / "card0");
    }

    // A connector folder and its class/drm link.
    std::filesystem::path connector(const std::string& name, const std::string& status,
                                    const std::string& edid = {}) {
        const std::filesystem::path real = device / "drm" / "card0" / name;
        std::filesystem::create_directories(real);
        writeFile(real / "status", status + "\n");
        writeFile(real / "edid", edid);
        std::filesystem::create_directory_symlink(real, dir.path() / "class" / "drm" / name);
        return real;
    }
    // An I2C adapter of the graphics card.
    std::filesystem::path adapter(const std::string& bus) {
        std::filesystem::create_directories(device / bus);
        return device / bus;
    }
    // A connector whose ddc link leads to a new adapter.
    std::filesystem::path connectorOnBus(const std::string& name, const std::string& status,
                                         const std::string& edid, const std::string& bus) {
        const std::filesystem::path c = connector(name, status, edid);
        std::filesystem::create_symlink(adapter(bus), c / "ddc");
        return c;
    }

    const std::filesystem::path& root() const { return dir.path(); }

    TempDir dir;
    std::filesystem::path device;
};

} // namespace pellam::test
