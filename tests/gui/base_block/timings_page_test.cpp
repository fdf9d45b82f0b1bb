// Edits through the real controls of B0/Timing.
#include "gui/app/main_window_fixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>

namespace pellam::test {
namespace {

class TimingsPageTest : public MainWindowTest {
protected:
    TimingsPage& page() { return *form.TabSheet4; }


    // The HDMI default image with the chromaticity example and a standard
    // timing list: entry 1 used (1920 16:9 60 Hz), entry 2 unused.
    void loadAndShow() {
        EdidImage edid = hdmiDefaultImage();
        const Byte colour[] = {0xEE, 0x44, 0xA3, 0x57, 0x4A, 0x9C, 0x25, 0x11, 0x50, 0x54};
        std::copy(std::begin(colour), std::end(colour), edid.begin() + 25);
        edid[37] = 0x81;
        edid[38] = 0xD1;
        edid[39] = 0xC0;
        edid[40] = 0x01;
        edid[41] = 0x01;
        load(edid);
        showPage(form.TabSheet4);
        loaded = image();
    }

    EdidImage loaded{};
};

TEST_F(TimingsPageTest, ShowsTheImage) {
    loadAndShow();
    EXPECT_EQ(page().LEdit_Rx->text(), "0.640");
    EXPECT_EQ(page().LEdit_Gy->text(), "0.611");
    EXPECT_EQ(page().LEdit_Wy->text(), "0.328");
    EXPECT_TRUE(page().CheckBox_T37->isChecked());
    EXPECT_FALSE(page().CheckBox_T17->isChecked());
    EXPECT_TRUE(page().CheckBox_SDT1->isChecked());
    EXPECT_EQ(page().LEdit_Hpxl1->text(), "1920");
    EXPECT_EQ(page().LEdit_Hz1->text(), "60");
    EXPECT_TRUE(page().RadioButton_SDT14->isChecked());
    EXPECT_EQ(image(), loaded);
}

TEST_F(TimingsPageTest, ChromaticityIsWrittenWhenFinishedAndBadTextChangesNothing) {
    loadAndShow();
    enter(page().LEdit_By, "0.06");
    EXPECT_EQ(image()[32], 61 >> 2);
    EXPECT_EQ(image()[26] & 0x30, (61 & 3) << 4);
    EXPECT_EQ(image()[26] & 0xCF, loaded[26] & 0xCF);

    const EdidImage before = image();
    enter(page().LEdit_Rx, "1");
    enter(page().LEdit_Rx, ".");
    EXPECT_EQ(ui.messages, QStringList({"Invalid Data", "Invalid Data"}));
    EXPECT_EQ(page().LEdit_Rx->text(), "0.640") << "the stored value is shown again";
    EXPECT_EQ(image(), before);

    ui.messages.clear();
    enter(page().LEdit_Rx, "");
    EXPECT_EQ(image(), before) << "an empty text is not written as 0";
    EXPECT_EQ(ui.messages, QStringList{"Invalid Data"});
    ui.messages.clear();
    enter(page().LEdit_Rx, "0.999");
    EXPECT_EQ(image()[27], 1022 >> 2);
    EXPECT_EQ(image()[25] >> 6, 1022 & 3);
    EXPECT_TRUE(ui.messages.isEmpty());
}

TEST_F(TimingsPageTest, EstablishedBoxesChangeOnlyTheirBit) {
    loadAndShow();
    page().CheckBox_T37->click();
    EXPECT_EQ(image()[37], 0x01);
    page().CheckBox_T37->click();
    EXPECT_EQ(image()[37], 0x81) << "the manufacturer's timings stay";
    page().CheckBox_T15->click();
    EXPECT_EQ(image()[35], loaded[35] | 0x20);
    page().CheckBox_T20->click();
    EXPECT_EQ(image()[36], loaded[36] | 0x01);
}

TEST_F(TimingsPageTest, StandardTimingEntryIsEditedThroughItsControls) {
    loadAndShow();
    page().cbxStdTiming->setCurrentIndex(1);
    EXPECT_EQ(image(), loaded) << "showing another entry writes nothing";
    EXPECT_FALSE(page().CheckBox_SDT1->isChecked());
    EXPECT_FALSE(page().LEdit_Hpxl1->isEnabled());
    EXPECT_EQ(page().LEdit_Hpxl1->text(), "256");
    EXPECT_EQ(page().LEdit_Hz1->text(), "61");

    page().CheckBox_SDT1->click();
    EXPECT_TRUE(page().LEdit_Hpxl1->isEnabled());
    EXPECT_EQ(image(), loaded) << "checking the box writes nothing";
    enter(page().LEdit_Hpxl1, "1280");
    EXPECT_EQ(image()[40], 0x81);
    EXPECT_EQ(image()[41], 0x01);

    enter(page().LEdit_Hz1, "124");
    EXPECT_EQ(ui.messages.last(), "Out of Range");
    EXPECT_EQ(image()[41], 0x01);
    page().RadioButton_SDT13->click();
    enter(page().LEdit_Hz1, "75");
    EXPECT_EQ(image()[41], 0x4F) << "every digit typed is taken";
    enter(page().LEdit_Hpxl1, "1281");
    EXPECT_EQ(ui.messages.last(), "Should be 256 ~ 2288, a multiple of 8");
    EXPECT_EQ(image()[40], 0x81) << "never cut to a multiple of 8";

    ui.messages.clear();
    enter(page().LEdit_Hpxl1, "12a");
    enter(page().LEdit_Hz1, "");
    EXPECT_EQ(ui.messages.join('|').toStdString(), "Invalid data|'' is not a valid integer value");
    EXPECT_EQ(image()[40], 0x81);
    EXPECT_EQ(image()[41], 0x4F);

    page().cbxStdTiming->setCurrentIndex(0);
    EXPECT_EQ(page().LEdit_Hpxl1->text(), "1920");
    page().CheckBox_SDT1->click();
    EXPECT_EQ(image()[38], 0x01);
    EXPECT_EQ(image()[39], 0x01);
    EXPECT_FALSE(page().RadioButton_SDT14->isEnabled());
}

} // namespace
} // namespace pellam::test
