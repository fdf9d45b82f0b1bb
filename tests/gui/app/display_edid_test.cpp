#include "gui/app/main_window_fixture.h"
#include "support/fake_sysfs.h"

#include <QAction>

namespace pellam::test {
namespace {

TEST_F(MainWindowTest, LoadsAConnectedDisplaysEdidFromSysfs) {
    FakeSysfs sys;
    EdidImage display = displayPortDefaultImage();
    display[126] = 0; // a 128-byte EDID
    ApplyAutoChecksums(display, true);
    sys.connector("card0-DP-1", "disconnected");
    sys.connectorOnBus("card0-DP-2", "connected", formatRawBinary(std::span(display).first(128)), "i2c-4");
    sim->ddcBuses.sysRoot = sys.root();

    ui.choiceAnswers.push_back(0);
    form.LoadDisplayEdid->trigger();
    EXPECT_EQ(ui.offeredItems, QStringList{"card0-DP-2 \u2014 Korvo Demo (connected)"})
        << "only connectors with an EDID are offered";
    EXPECT_TRUE(ui.messages.isEmpty()) << ui.messages.join("; ").toStdString();
    for (std::size_t i = 0; i < 128; ++i)
        ASSERT_EQ(image()[i], display[i]) << i;
    EXPECT_EQ(image()[200], 0) << "block 1 of a 128-byte EDID is empty, not the old image's";
    EXPECT_TRUE(form.N128Bytes1->isChecked());
    EXPECT_TRUE(form.EDID_DP_SEL->isChecked());
    EXPECT_EQ(cell(0x14), "A5");
}

TEST_F(MainWindowTest, NoDisplayOrACancelledChoiceChangesNothing) {
    FakeSysfs sys;
    sim->ddcBuses.sysRoot = sys.root();
    form.LoadDisplayEdid->trigger();
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_TRUE(ui.messages[0].startsWith("No display with an EDID was found"));

    EdidImage notEdid{};
    notEdid[0] = 0x12;
    sys.connector("card0-HDMI-A-1", "connected", formatRawBinary(std::span(hdmiDefaultImage()).first(256)));
    sys.connector("card0-HDMI-A-2", "connected", formatRawBinary(std::span(notEdid).first(128)));
    form.LoadDisplayEdid->trigger(); // cancelled
    EXPECT_EQ(image(), hdmiDefaultImage());
    ui.choiceAnswers.push_back(1);
    form.LoadDisplayEdid->trigger();
    EXPECT_EQ(ui.messages.last(), "EDID File Format incorrect!!");
    EXPECT_EQ(image(), hdmiDefaultImage());
}

} // namespace
} // namespace pellam::test
