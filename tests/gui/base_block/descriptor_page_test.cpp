// The descriptor page driven through its controls, on the real main window.
#include "gui/app/main_window_fixture.h"
#include "core/base_block/detailed_timing_edit.h"
#include "gui/base_block/detailed_timing_editor.h"
#include "core/base_block/display_descriptor.h"
#include "core/base_block/timing_candidates.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>

namespace pellam::test {
namespace {

using Slot = std::array<Byte, kDtdSize>;

Slot bytesOf(DtdBytes bytes) {
    Slot s;
    std::copy(bytes.begin(), bytes.end(), s.begin());
    return s;
}

std::array<Byte, 8> bytesAfterNine(const Slot& slot) {
    std::array<Byte, 8> bytes;
    std::copy(slot.begin() + 10, slot.end(), bytes.begin());
    return bytes;
}

void putSlot(EdidImage& image, int k, const Slot& bytes) {
    std::copy(bytes.begin(), bytes.end(), descriptorSlot(image, k).begin());
}

class DescriptorPageTest : public MainWindowTest {
protected:
    DescriptorPage& page() { return *form.TabSheet5; }
    Slot slot(int k) { return bytesOf(descriptorSlot(image(), k)); }

    // The page opened on an image, as after a load.
    void openOn(const EdidImage& edid) {
        showPage(form.TabSheet1);
        image() = edid;
        showPage(form.TabSheet5);
    }
    // Types as a user does: focus, select all, keys.
    void type(QLineEdit* edit, const QString& text) {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }
};

const Slot kRangeSlot = {0,  0,    0,    0xFD, 0x00, 50,   75,   30,   80,
                         15, 0x00, 0x0A, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20};

TEST_F(DescriptorPageTest, AGeometryEditReachesTheImageWhenItsGroupIsLeft) {
    showPage(form.TabSheet5);
    ASSERT_TRUE(page().RadioButton_Block1->isChecked());
    ASSERT_TRUE(page().Panel1->isVisibleTo(&page()));
    EXPECT_TRUE(page().Label_Warning1->isVisibleTo(&page()));
    const Slot before = slot(1);

    type(page().led_b0Timing1, "1366");
    page().led_b0Timing7->setFocus(); // still in the group
    EXPECT_EQ(slot(1), before);
    page().rbn_b0Stereo1->setFocus(); // another group
    Slot expected = before;
    expected[2] = 0x56; // 1366 = 0x556
    expected[4] = static_cast<Byte>(0x50 | (before[4] & 0x0F));
    EXPECT_EQ(slot(1), expected);

    showPage(form.TabSheet1);
    EXPECT_EQ(cell(54 + 2), "56");
    EXPECT_EQ(cell(kBlock0ChecksumOffset), QString::fromStdString(hexByte(Checksum(image(), 0))));
    EXPECT_TRUE(ui.messages.isEmpty());
}

TEST_F(DescriptorPageTest, LeavingUneditedGroupsOrUndoneEditsChangesNothing) {
    EdidImage edid = hdmiDefaultImage();
    Slot odd = slot(1);
    odd[0] = 0xF3; // 148.35 MHz, shown as 148.40
    odd[1] = 0x39;
    odd[17] = 0x19; // stereo bit 0 set in normal mode
    putSlot(edid, 1, odd);
    openOn(edid);
    EXPECT_EQ(page().LEdit_Pxl->text(), "148.40");
    page().LEdit_Pxl->setFocus();
    page().rbn_b0AD1->setFocus();
    page().CheckBox_Int->click();
    page().CheckBox_Int->click();
    page().cbxTimingSelect->setFocus();
    EXPECT_EQ(slot(1), odd);
}

TEST_F(DescriptorPageTest, AnEditNotYetWrittenReachesTheImageWhenAnotherPageIsShown) {
    showPage(form.TabSheet5);
    type(page().led_b0Timing12, "2");
    page().rbn_b0Stereo7->click(); // a click that does not move the focus
    EXPECT_EQ(slot(1)[16], 0);
    showPage(form.TabSheet4);
    EXPECT_EQ(slot(1)[16], 2);
    EXPECT_EQ(slot(1)[17] & 0x61, 0x61);
}

TEST_F(DescriptorPageTest, AMenuCommandComesAfterTheEditIsWritten) {
    showPage(form.TabSheet5);
    type(page().led_b0Timing11, "300");
    form.Utility1->popup(QPoint(0, 0)); // the keyboard goes to the menu
    form.Utility1->close();
    form.EDID_DP_SEL->trigger(); // decodes the page again
    EXPECT_EQ(decodeDetailedTiming(slot(1)).vImageSize, 300);
    EXPECT_EQ(page().led_b0Timing11->text(), "300");
}

TEST_F(DescriptorPageTest, BadInputShowsItsMessageAndChangesNothing) {
    showPage(form.TabSheet5);
    const EdidImage before = image();
    type(page().led_b0Timing3, "x");
    type(page().led_b0Timing1, "5000");
    type(page().LEdit_Pxl, "700");
    page().led_b0Timing2->setFocus();
    page().led_b0Timing2->selectAll();
    QTest::keyClick(page().led_b0Timing2, Qt::Key_Delete);
    page().rbn_b0Stereo1->setFocus();
    // One message per finished edit, none while typing.
    EXPECT_EQ(ui.messages,
              (QStringList{"Invalid data", "Should be within 0 ~ 4095",
                           "Should be within 0.01 ~ 655.35 MHz", "'' is not a valid integer value"}));
    EXPECT_EQ(page().led_b0Timing3->text(), QString::number(decodeDetailedTiming(slot(1)).hSyncOffset))
        << "a refused field shows the stored value again";
    EXPECT_EQ(page().led_b0Timing1->text(), "1280") << "never cut to 904";
    EXPECT_EQ(describeDifferences(before, image()), "");

    page().RadioButton_Block4->click();
    type(page().ledLimit2, "7S");
    page().ledLimit1->setFocus();
    EXPECT_EQ(ui.messages.last(), "'7S' is not a valid integer value");
    EXPECT_EQ(describeDifferences(before, image()), "");
}

TEST_F(DescriptorPageTest, ACandidateReplacesTheWholeSlot) {
    EdidImage edid = hdmiDefaultImage();
    descriptorSlot(edid, 2)[17] |= 1; // not kept
    openOn(edid);
    page().RadioButton_Block2->click();
    page().cbxTimingSelect->setFocus();
    for (int i = 0; i < 13; ++i) // down to "1920x1080p 60Hz 16:9"
        QTest::keyClick(page().cbxTimingSelect, Qt::Key_Down);
    EXPECT_EQ(page().cbxTimingSelect->currentText(), "1920x1080p 60Hz 16:9");
    EXPECT_EQ(slot(2), bytesOf(timingCandidateBytes(12)));
    EXPECT_EQ(page().LEdit_Pxl->text(), "148.50");
    EXPECT_FALSE(page().CheckBox_Int->isChecked());
    EXPECT_EQ(slot(1), bytesOf(descriptorSlot(hdmiDefaultImage(), 1)));
}

TEST_F(DescriptorPageTest, TheEditedRecordGoesOnlyIntoTheSlotItWasReadFrom) {
    showPage(form.TabSheet5);
    const Slot name = slot(3);
    type(page().led_b0Timing1, "1366");
    page().RadioButton_Block3->click(); // a click that does not move the focus
    EXPECT_EQ(slot(3), name);
    EXPECT_EQ(decodeDetailedTiming(slot(1)).hActive, 1366);
    page().writeTimingBack();
    EXPECT_EQ(slot(3), name);

    // A slot that stopped being a detailed timing behind the page's back.
    page().RadioButton_Block1->click();
    page().led_b0Timing1->setText("640");
    descriptorSlot(image(), 1)[0] = 0;
    descriptorSlot(image(), 1)[1] = 0;
    const Slot replaced = slot(1);
    page().leavePage();
    EXPECT_EQ(slot(1), replaced);
}

TEST_F(DescriptorPageTest, MonitorNameEditAndTheKindGroup) {
    showPage(form.TabSheet5);
    page().RadioButton_Block3->click();
    EXPECT_TRUE(page().Panel3->isVisibleTo(&page()));
    EXPECT_FALSE(page().Label_Warning1->isVisibleTo(&page()));
    EXPECT_EQ(page().GroupBox24->title(), "#Block 3");
    EXPECT_EQ(page().GroupBox31->title(), "Monitor Name");
    EXPECT_EQ(page().LEdit_DTMonitor->text(), "Korvo Demo");
    EXPECT_TRUE(page().RadioButton_DesName->isChecked());
    EXPECT_FALSE(page().GroupBox29->isEnabled());

    type(page().LEdit_DTMonitor, "AB");
    page().RadioButton_Block3->setFocus();
    const Slot s = slot(3);
    const std::string payload(s.begin() + 5, s.end());
    EXPECT_EQ(payload, "AB\n          ");
    EXPECT_EQ(s[3], 0xFC);

    page().RadioButton_Block4->click();
    EXPECT_TRUE(page().GroupBox29->isEnabled()) << "only a name slot locks its kind";
}

TEST_F(DescriptorPageTest, RangeEditsAndAKindChange) {
    EdidImage edid = hdmiDefaultImage();
    Slot range = kRangeSlot;
    range[12] = 0x55; // stale bytes after the line feed
    putSlot(edid, 4, range);
    openOn(edid);
    page().RadioButton_Block4->click();
    EXPECT_EQ(page().ledLimit5->text(), "150");
    EXPECT_FALSE(page().CheckBox_GTF2->isChecked());
    EXPECT_FALSE(page().LEdit_2GTF1->isEnabled());

    // A pixel clock the byte cannot hold is refused, never cut.
    type(page().ledLimit5, "165");
    page().ledLimit1->setFocus();
    EXPECT_EQ(ui.messages, QStringList{"Should be 0 ~ 2550 MHz, a multiple of 10"});
    EXPECT_EQ(slot(4)[9], 15);
    EXPECT_EQ(page().ledLimit5->text(), "150");
    type(page().ledLimit5, "170");
    page().ledLimit1->setFocus();
    EXPECT_EQ(slot(4)[9], 17);
    EXPECT_EQ(slot(4)[12], 0x20);

    page().CheckBox_GTF2->click();
    EXPECT_EQ(bytesAfterNine(slot(4)), (std::array<Byte, 8>{0x02, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(page().LEdit_2GTF3->isEnabled());
    type(page().LEdit_2GTF3, "600");
    page().ledLimit1->setFocus();
    EXPECT_EQ(slot(4)[11], 0x00);
    EXPECT_EQ(slot(4)[14], 0x02);
    EXPECT_EQ(slot(4)[15], 0x58);
    page().RadioButton_Block1->click();
    page().RadioButton_Block4->click();
    EXPECT_EQ(page().LEdit_2GTF3->text(), "600");

    const Slot before = slot(4);
    page().RadioButton_DesSN->click();
    Slot expected = before;
    expected[3] = 0xFF;
    EXPECT_EQ(slot(4), expected);
    EXPECT_TRUE(page().Panel3->isVisibleTo(&page()));
    EXPECT_EQ(page().GroupBox31->title(), "Serial Number");
    EXPECT_EQ(page().LEdit_DTMonitor->text().size(), 13);
}

TEST_F(DescriptorPageTest, RangeLimitsWithoutGtfParametersKeepBytesTenToSeventeen) {
    for (const Byte byte10 : {Byte{0x01}, Byte{0x04}}) {
        SCOPED_TRACE(byte10);
        EdidImage edid = hdmiDefaultImage();
        Slot range = kRangeSlot;
        range[4] = 0x02; // EDID 1.4: max V rate + 255
        range[10] = byte10;
        const Byte tail[] = {0x11, 0x44, 0x68, 0xF8, 0x24, 0x00, 0x00};
        std::copy(std::begin(tail), std::end(tail), range.begin() + 11);
        putSlot(edid, 4, range);
        openOn(edid);
        page().RadioButton_Block4->click();
        type(page().ledLimit1, "48");
        page().ledLimit2->setFocus();
        Slot expected = range;
        expected[5] = 48;
        EXPECT_EQ(slot(4), expected);

        // A click on the box writes byte 10 and the parameters after it.
        page().CheckBox_GTF2->click();
        EXPECT_EQ(bytesAfterNine(slot(4)), (std::array<Byte, 8>{0x02, 0, 0, 0, 0, 0, 0, 0}));
        EXPECT_TRUE(page().LEdit_2GTF1->isEnabled());
    }
}

// A text descriptor turned into range limits leaves its characters in bytes
// 10..17: the box shows no secondary curve and showing the slot changes
// nothing; each click then writes what the box says.
TEST_F(DescriptorPageTest, TheSecondaryGtfBoxWritesBytesTenToSeventeenWhenClicked) {
    EdidImage edid = hdmiDefaultImage();
    Slot text = {0, 0, 0, 0xFE, 0, 'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J', 'K', 'L', 'M'};
    putSlot(edid, 4, text);
    openOn(edid);
    page().RadioButton_Block4->click();
    page().RadioButton_DesRang->click();
    Slot expected = text;
    expected[3] = 0xFD;
    EXPECT_EQ(slot(4), expected);
    EXPECT_FALSE(page().CheckBox_GTF2->isChecked());
    page().RadioButton_Block1->click();
    page().RadioButton_Block4->click();
    EXPECT_EQ(slot(4), expected);

    page().CheckBox_GTF2->click();
    EXPECT_TRUE(page().CheckBox_GTF2->isChecked());
    EXPECT_EQ(bytesAfterNine(slot(4)), (std::array<Byte, 8>{0x02, 0, 0, 0, 0, 0, 0, 0}));
    page().CheckBox_GTF2->click();
    EXPECT_FALSE(page().CheckBox_GTF2->isChecked());
    EXPECT_EQ(bytesAfterNine(slot(4)),
              (std::array<Byte, 8>{0x00, 0x0A, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20}));
    EXPECT_EQ(slot(4)[5], 'A') << "the limits keep what the text left";
    EXPECT_TRUE(ui.messages.isEmpty()) << ui.messages.join('\n').toStdString();
}

TEST_F(DescriptorPageTest, ASlotThePageDoesNotEditShowsNoValues) {
    EdidImage edid = hdmiDefaultImage();
    putSlot(edid, 2, kRangeSlot);
    const Slot whitePoint = {0, 0, 0, 0xFB, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};
    putSlot(edid, 4, whitePoint);
    openOn(edid);
    page().RadioButton_Block2->click();
    page().RadioButton_Block4->click();
    EXPECT_TRUE(page().RadioButton_AddColor->isChecked());
    for (QRadioButton* editable : {page().RadioButton_DesSN, page().RadioButton_DesASC,
                                   page().RadioButton_DesRang, page().RadioButton_DesName})
        EXPECT_FALSE(editable->isChecked());
    for (QLineEdit* edit :
         {page().LEdit_DTMonitor, page().ledLimit1, page().ledLimit5, page().LEdit_2GTF3}) {
        EXPECT_TRUE(edit->text().isEmpty()) << edit->objectName().toStdString();
        EXPECT_FALSE(edit->isEnabled()) << edit->objectName().toStdString();
    }
    EXPECT_FALSE(page().Panel3->isVisibleTo(&page()));
    EXPECT_FALSE(page().Panel4->isVisibleTo(&page()));

    // Whatever the editors hold, leaving them writes nothing into the slot.
    page().ledLimit1->setText("99");
    page().ledLimitExit();
    page().LEdit_DTMonitor->setText("X");
    page().LEdit_DTMonitor->setModified(true);
    page().LEdit_DTMonitorExit();
    page().CheckBox_GTF2Click();
    page().leavePage();
    EXPECT_EQ(slot(4), whitePoint);

    // Its kind may still be changed into one the page edits.
    page().RadioButton_DesASC->click();
    Slot expected = whitePoint;
    expected[3] = 0xFE;
    EXPECT_EQ(slot(4), expected);
    EXPECT_TRUE(page().LEdit_DTMonitor->isEnabled());
}

TEST(DescriptorPageCorpus, ShowingEverySlotChangesNoByte) {
    RecordingInteraction ui;
    EdidWorkspace ws;
    SharedPageState state;
    DescriptorPage page(ws, state, ui);
    page.fillTimingCandidates();
    for (const auto& path : corpusFiles()) {
        SCOPED_TRACE(path.filename().string());
        ws.image = imageFromBytes(readFile(path));
        const EdidImage before = ws.image;
        state.selectedDescriptorNumber = 1;
        page.decodePage();
        for (QRadioButton* button : {page.RadioButton_Block1, page.RadioButton_Block2,
                                     page.RadioButton_Block3, page.RadioButton_Block4}) {
            button->click();
            if (page.Panel1->isVisibleTo(&page)) {
                // An edit undone: the record written back is the slot as it was.
                page.CheckBox_Int->click();
                page.CheckBox_Int->click();
            }
        }
        page.leavePage();
        EXPECT_EQ(describeDifferences(before, ws.image), "");
    }
    EXPECT_TRUE(ui.messages.isEmpty());
}

} // namespace
} // namespace pellam::test
