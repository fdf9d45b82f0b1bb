// The extended data blocks page driven through its controls in the main
// window; block 1 is checked after the page is left.
#include "gui/app/main_window_fixture.h"
#include "core/cea/block1_builder.h"

#include <QCheckBox>
#include <QRadioButton>

namespace pellam::test {
namespace {

class ExtendedBlocksPageTest : public MainWindowTest {
protected:
    ExtendedBlocksPage& page() { return *form.sheetB1ExtendedDB; }

    void open(const EdidImage& edid) {
        load(edid);
        showPage(form.sheetB1ExtendedDB);
    }
    // The data blocks after the page is left, from byte 132 up to the timings.
    Bytes leaveAndReadBlocks() {
        showPage(form.TabSheet1);
        return Bytes(image().begin() + 132, image().begin() + 128 + image()[130]);
    }
};

TEST_F(ExtendedBlocksPageTest, EnabledBlocksAreWrittenBehindTheBlocksThatWereRead) {
    const Bytes audio = {0x23, 0x09, 0x07, 0x07};
    open(imageWithBlock1({audio}));
    EXPECT_FALSE(page().RadioButton_PT3->isEnabled());
    EXPECT_FALSE(page().CheckBox_Color0->isEnabled());
    page().CheckBox_B1Extended_En0->click();
    page().CheckBox_B1Extended_En1->click();
    EXPECT_TRUE(page().RadioButton_QRSYCC0->isChecked()) << "a new block reads as zeros";
    EXPECT_TRUE(page().RadioButton_CE0->isChecked());
    EXPECT_TRUE(page().CheckBox_Meta3->isEnabled());
    EXPECT_EQ(leaveAndReadBlocks(),
              (Bytes{0x23, 0x09, 0x07, 0x07, 0xE2, 0x00, 0x00, 0xE3, 0x05, 0x00, 0x00}));

    showPage(form.sheetB1ExtendedDB);
    for (QRadioButton* button :
         {page().RadioButton_QRSYCC1, page().RadioButton_QRS1, page().RadioButton_PT3,
          page().RadioButton_IT3, page().RadioButton_CE3})
        button->click();
    page().CheckBox_Color4->click();
    page().CheckBox_Color1->click();
    page().CheckBox_Meta0->click();
    EXPECT_EQ(leaveAndReadBlocks(),
              (Bytes{0x23, 0x09, 0x07, 0x07, 0xE2, 0x00, 0xFF, 0xE3, 0x05, 0x12, 0x01}));
    EXPECT_TRUE(ui.messages.isEmpty());
}

TEST_F(ExtendedBlocksPageTest, EachControlChangesOnlyItsBits) {
    // Colorimetry bits 7..5 (BT.2020, DCI-P3) and metadata bits 7..4 as read.
    const Bytes vcdb = {0xE2, 0x00, 0xC0};
    const Bytes colorimetry = {0xE3, 0x05, 0xE1, 0x82};
    open(imageWithBlock1({vcdb, colorimetry}));
    EXPECT_TRUE(page().RadioButton_QRSYCC1->isChecked());
    EXPECT_TRUE(page().RadioButton_QRS1->isChecked());
    EXPECT_TRUE(page().RadioButton_PT0->isChecked());
    EXPECT_TRUE(page().CheckBox_Color0->isChecked());
    EXPECT_FALSE(page().CheckBox_Color1->isChecked());
    EXPECT_TRUE(page().CheckBox_Meta1->isChecked());

    page().RadioButton_IT2->click();
    page().RadioButton_QRS0->click();
    page().CheckBox_Color0->click();
    page().CheckBox_Color2->click();
    page().CheckBox_Meta1->click();
    EXPECT_EQ(leaveAndReadBlocks(), (Bytes{0xE2, 0x00, 0x88, 0xE3, 0x05, 0xE4, 0x80}));
}

TEST_F(ExtendedBlocksPageTest, AnEnableWithoutRoomIsRefused) {
    struct Case {
        QCheckBox* ExtendedBlocksPage::*box;
        int free;
    };
    for (const Case& c : {Case{&ExtendedBlocksPage::CheckBox_B1Extended_En0, 2},
                          Case{&ExtendedBlocksPage::CheckBox_B1Extended_En1, 3}}) {
        const EdidImage edid = imageWithFreeBytes({}, c.free);
        open(edid);
        ui.messages.clear();
        QCheckBox* box = page().*c.box;
        box->click();
        EXPECT_EQ(ui.messages, QStringList{"No Space of Extended Block"}) << c.free;
        EXPECT_FALSE(box->isChecked());
        showPage(form.TabSheet1);
        EXPECT_EQ(block1Of(image()), block1Of(edid));
    }
}

} // namespace
} // namespace pellam::test
