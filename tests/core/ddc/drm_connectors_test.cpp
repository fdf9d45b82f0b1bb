#include "core/ddc/drm_connectors.h"
#include "core/edid/edid_file.h"
#include "support/cli_runner.h"
#include "support/fake_sysfs.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace pellam {
namespace {

namespace fs = std::filesystem;

using test::FakeSysfs;

std::string defaultEdid() {
    return formatRawBinary(std::span(hdmiDefaultImage()).first(256));
}

TEST(DrmConnectors, ListsEachConnectorWithItsMonitorAndBus) {
    FakeSysfs sys;
    const fs::path hdmi = sys.connector("card0-HDMI-A-1", "connected", defaultEdid());
    fs::create_symlink(sys.adapter("i2c-5"), hdmi / "ddc");
    sys.connector("card0-eDP-1", "connected", defaultEdid()); // panel: no DDC bus
    const fs::path dp = sys.connector("card0-DP-1", "disconnected");
    fs::create_directories(dp / "i2c-7"); // a DP AUX channel inside the connector
    const fs::path dangling = sys.connector("card0-HDMI-A-2", "disconnected");
    fs::create_symlink(sys.device / "i2c-99", dangling / "ddc");
    sys.adapter("i2c-0"); // the SMBus adapter: no connector links it
    fs::create_directories(sys.dir.path() / "class" / "drm" / "card0"); // not a connector
    test::writeFile(sys.dir.path() / "class" / "drm" / "version", "drm 1.1.0");

    const auto list = listDrmConnectors(sys.dir.path());
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[0].name, "card0-DP-1");
    EXPECT_EQ(list[0].i2cBus, "i2c-7");
    EXPECT_FALSE(list[0].connected());
    EXPECT_EQ(connectorLabel(list[0]), "card0-DP-1 (disconnected)");

    EXPECT_EQ(list[1].name, "card0-HDMI-A-1");
    EXPECT_EQ(list[1].devicePath, "/dev/i2c-5");
    EXPECT_EQ(list[1].edid.size(), 256u);
    EXPECT_EQ(list[1].monitorName, "Korvo Demo");
    EXPECT_EQ(connectorLabel(list[1]), "card0-HDMI-A-1 \u2014 Korvo Demo (connected)");

    EXPECT_EQ(list[2].name, "card0-HDMI-A-2");
    EXPECT_FALSE(list[2].hasBus()) << "a link to nothing names no bus";
    EXPECT_EQ(list[3].name, "card0-eDP-1");
    EXPECT_FALSE(list[3].hasBus());
    for (const auto& c : list)
        EXPECT_NE(c.i2cBus, "i2c-0") << "an adapter no connector links is never offered";

    EXPECT_EQ(findDrmConnector("card0-HDMI-A-1", sys.dir.path())->i2cBus, "i2c-5");
    EXPECT_FALSE(findDrmConnector("card0-HDMI-A-9", sys.dir.path()));
    EXPECT_FALSE(findDrmConnector("../../devices", sys.dir.path()));
}

TEST(DrmConnectors, NoDrmFolderMeansNoConnectors) {
    test::TempDir empty;
    EXPECT_TRUE(listDrmConnectors(empty.path()).empty());
}

TEST(DrmConnectors, MonitorNameComesFromTheNameDescriptorOnly) {
    std::vector<Byte> edid(hdmiDefaultImage().begin(), hdmiDefaultImage().end());
    EXPECT_EQ(monitorNameFromEdid(edid), "Korvo Demo");
    edid[93] = 0xFE; // the name slot becomes an ASCII string
    EXPECT_EQ(monitorNameFromEdid(edid), "");
    EXPECT_EQ(monitorNameFromEdid({}), "");
    EXPECT_EQ(monitorNameFromEdid(std::vector<Byte>(60, 0)), "") << "short EDID";
}

TEST(CliDisplays, PrintsOneLinePerConnectorOrJson) {
    FakeSysfs sys;
    const fs::path hdmi = sys.connector("card0-HDMI-A-1", "connected", defaultEdid());
    fs::create_symlink(sys.adapter("i2c-5"), hdmi / "ddc");
    setenv("PELLAM_SYSFS_ROOT", sys.dir.path().c_str(), 1);
    const auto text = test::runCli({"displays"});
    const auto json = test::runCli({"displays", "--json"});
    unsetenv("PELLAM_SYSFS_ROOT");
    EXPECT_EQ(text.status, 0);
    EXPECT_EQ(text.out, "card0-HDMI-A-1 \u2014 Korvo Demo (connected)  /dev/i2c-5\n");
    EXPECT_NE(json.out.find("\"bus\": \"/dev/i2c-5\""), std::string::npos);
    EXPECT_NE(json.out.find("\"edid\": \"00FFFFFFFFFFFF00"), std::string::npos);
    EXPECT_EQ(test::runCli({"displays", "--bogus"}).status, 2);
}

} // namespace
} // namespace pellam
