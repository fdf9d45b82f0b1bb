// The audio page driven through its controls in the main window; block 1 is
// checked after the page is left.
#include "gui/app/main_window_fixture.h"
#include "core/cea/block1_builder.h"

#include <functional>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>

namespace pellam::test {
namespace {

// L-PCM, 2 channels, 32/44.1/48 kHz, 16/20/24 bit; AC-3, 6 channels, 640 kbps.
const Bytes kTwoSads = {0x26, 0x09, 0x07, 0x07, 0x15, 0x07, 0x50};
const Bytes kSpeakers = {0x83, 0x4F, 0x00, 0x00};

class AudioPageTest : public MainWindowTest {
protected:
    AudioPage& page() { return *form.sheetAudio; }

    void open(const EdidImage& edid) {
        load(edid);
        showPage(form.sheetAudio);
    }
    Bytes leaveAndRead(int offset, int size) {
        showPage(form.TabSheet1);
        return Bytes(image().begin() + offset, image().begin() + offset + size);
    }
};

TEST_F(AudioPageTest, ShowsEachDescriptorAndTheSpeakers) {
    open(imageWithBlock1({kTwoSads, kSpeakers}));
    EXPECT_EQ(page().ledAudioNo->text(), "2");
    ASSERT_EQ(page().cbxAudio->count(), 2);
    EXPECT_EQ(page().cbxAudio->currentText(), "Audio #1");
    EXPECT_TRUE(page().RadioButton_AudFom1->isChecked());
    EXPECT_TRUE(page().CheckBox_SR3->isChecked() && !page().CheckBox_SR4->isChecked());
    EXPECT_TRUE(page().CheckBox_SampSize3->isEnabled());
    EXPECT_FALSE(page().ledMaxBitRate->isEnabled());
    EXPECT_EQ(page().Label26->text(), "2 Channels");

    page().cbxAudio->setCurrentIndex(1);
    EXPECT_TRUE(page().RadioButton_AudFom2->isChecked());
    EXPECT_EQ(page().ledMaxBitRate->text(), "640");
    EXPECT_EQ(page().lblMaxBitRate->text(), "Max Bit Rate:  (kbps)");
    EXPECT_FALSE(page().CheckBox_SampSize1->isEnabled());
    EXPECT_EQ(page().slbMaxChannel->value(), 6);
    EXPECT_EQ(page().Label26->text(), "6 Channels");

    EXPECT_TRUE(page().CheckBox_SpeakerEN->isChecked());
    EXPECT_TRUE(page().CheckBox_Speaker6->isChecked() && !page().CheckBox_Speaker5->isChecked());
    Bytes both = kTwoSads;
    both.insert(both.end(), kSpeakers.begin(), kSpeakers.end());
    EXPECT_EQ(leaveAndRead(132, 11), both);
}

TEST_F(AudioPageTest, EditsThroughEveryGroupReachBlock1) {
    open(imageWithBlock1({kTwoSads, kSpeakers}));
    page().cbxAudio->setCurrentIndex(1);
    enter(page().ledMaxBitRate, "645"); // written as 645 / 8 = 80
    page().cbxAudio->setCurrentIndex(0);
    page().CheckBox_SR4->click();
    page().CheckBox_SampSize2->click();
    page().slbMaxChannel->setValue(8);
    enter(page().ledAudioNo, "3");
    EXPECT_EQ(page().cbxAudio->count(), 3);
    // Off and on again: the speaker block starts from zeros.
    page().CheckBox_SpeakerEN->click();
    EXPECT_FALSE(page().CheckBox_Speaker0->isEnabled());
    page().CheckBox_SpeakerEN->click();
    EXPECT_FALSE(page().CheckBox_Speaker0->isChecked());
    page().CheckBox_Speaker6->click();
    EXPECT_TRUE(ui.messages.isEmpty()) << ui.messages.join('\n').toStdString();

    EXPECT_EQ(leaveAndRead(132, 14), (Bytes{0x29, 0x0F, 0x0F, 0x05, 0x15, 0x07, 0x50, 0x00, 0x00,
                                            0x00, 0x83, 0x40, 0x00, 0x00}));
}

TEST_F(AudioPageTest, PickingAFormatKeepsTheStoredValueAndShowsWhatWillBeWritten) {
    open(imageWithBlock1({kTwoSads}));
    page().cbxAudio->setCurrentIndex(1);
    page().RadioButton_AudFom14->click();
    EXPECT_EQ(page().lblMaxBitRate->text(), "Profile");
    EXPECT_EQ(page().ledMaxBitRate->maxLength(), 1);
    EXPECT_EQ(page().ledMaxBitRate->text(), "0");
    page().RadioButton_AudFom11->click();
    EXPECT_EQ(page().lblMaxBitRate->text(), "Dependent value");
    EXPECT_EQ(page().ledMaxBitRate->text(), "128");
    page().RadioButton_AudFom1->click();
    EXPECT_TRUE(page().CheckBox_SampSize1->isEnabled());
    EXPECT_FALSE(page().ledMaxBitRate->isEnabled());
    page().RadioButton_AudFom2->click();
    EXPECT_EQ(page().ledMaxBitRate->text(), "640");
    EXPECT_EQ(leaveAndRead(132, 7), kTwoSads);
}

TEST_F(AudioPageTest, OneChannelAndSampleRateBit7AreShownAndKept) {
    // AC-3 with 6 channels, then L-PCM with 1 channel and sample-rate bit 7.
    const Bytes sads = {0x26, 0x15, 0x07, 0x50, 0x08, 0x87, 0x07};
    open(imageWithBlock1({sads}));
    page().cbxAudio->setCurrentIndex(1);
    EXPECT_EQ(page().Label26->text(), "1 Channels");
    EXPECT_EQ(page().slbMaxChannel->value(), page().slbMaxChannel->minimum());
    EXPECT_TRUE(page().CheckBox_SR1->isChecked());
    EXPECT_FALSE(page().CheckBox_SR7->isChecked());
    const EdidImage before = image();
    showPage(form.TabSheet1);
    EXPECT_EQ(image(), before);

    showPage(form.sheetAudio);
    page().cbxAudio->setCurrentIndex(1);
    page().CheckBox_SR7->click();
    EXPECT_EQ(leaveAndRead(132, 7), (Bytes{0x26, 0x15, 0x07, 0x50, 0x08, 0xC7, 0x07}));
}

TEST_F(AudioPageTest, RefusalsShowTheirMessageAndChangeNothing) {
    // Two bytes free, no speaker block.
    const EdidImage edid = imageWithFreeBytes({kTwoSads}, 2);
    open(edid);
    page().cbxAudio->setCurrentIndex(1);
    struct Case {
        const char* what;
        std::function<void()> act;
        QString message;
        std::function<bool()> shown;
    };
    const Case cases[] = {
        {"count with a letter", [&] { enter(page().ledAudioNo, "2x"); },
         "Invalid data! Please Input positive integer",
         [&] { return page().ledAudioNo->text() == "2"; }},
        {"count emptied", [&] { enter(page().ledAudioNo, ""); },
         "'' is not a valid integer value", [&] { return page().ledAudioNo->text() == "2"; }},
        {"count 2 -> 3 with 2 bytes free", [&] { enter(page().ledAudioNo, "3"); },
         "No Space of Extended Block", [&] { return page().ledAudioNo->text() == "2"; }},
        {"bit rate with a letter", [&] { enter(page().ledMaxBitRate, "6x"); },
         "'6x' is not a valid integer value", [] { return true; }},
        {"bit rate beyond the byte", [&] { enter(page().ledMaxBitRate, "2048"); }, "Out of Range",
         [] { return true; }},
        {"speaker block with 2 bytes free", [&] { page().CheckBox_SpeakerEN->click(); },
         "No Space of Extended Block", [&] { return !page().CheckBox_SpeakerEN->isChecked(); }},
    };
    for (const Case& c : cases) {
        ui.messages.clear();
        c.act();
        EXPECT_EQ(ui.messages, QStringList{c.message}) << c.what;
        EXPECT_TRUE(c.shown()) << c.what;
    }
    showPage(form.TabSheet1);
    EXPECT_EQ(block1Of(image()), block1Of(edid));
}

TEST_F(AudioPageTest, WithBasicAudioClearTheDescriptorsAreShownButNotEditable) {
    const EdidImage edid = imageWithBlock1({kTwoSads, kSpeakers}, {}, 0xB0);
    open(edid);
    EXPECT_EQ(page().ledAudioNo->text(), "2");
    EXPECT_FALSE(page().ledAudioNo->isEnabled());
    EXPECT_TRUE(page().RadioButton_AudFom1->isChecked());
    for (QWidget* control : std::initializer_list<QWidget*>{
             page().cbxAudio, page().RadioButton_AudFom1, page().RadioButton_AudFom15,
             page().CheckBox_SR1, page().CheckBox_SampSize1, page().slbMaxChannel,
             page().ledMaxBitRate})
        EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
    EXPECT_TRUE(page().CheckBox_Speaker6->isEnabled());
    showPage(form.TabSheet1);
    EXPECT_EQ(block1Of(image()), block1Of(edid)) << "the audio block stays";
}

TEST_F(AudioPageTest, AnAudioBlockIsCreatedWithItsHeaderByte) {
    // Basic audio set, no audio block: header and descriptor just fit.
    open(imageWithFreeBytes({}, 4));
    EXPECT_FALSE(page().cbxAudio->isEnabled());
    enter(page().ledAudioNo, "1");
    EXPECT_TRUE(ui.messages.isEmpty());
    EXPECT_TRUE(page().RadioButton_AudFom1->isEnabled());
    page().RadioButton_AudFom1->click();
    page().CheckBox_SR3->click();
    showPage(form.TabSheet1);
    // Behind the blocks that were read, before the timings.
    const int end = 128 + image()[130];
    EXPECT_EQ(Bytes(image().begin() + end - 4, image().begin() + end),
              (Bytes{0x23, 0x08, 0x04, 0x00}));
}

} // namespace
} // namespace pellam::test
