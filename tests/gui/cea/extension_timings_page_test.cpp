// The block-1 timings page driven through its controls in the main window;
// block 1 is checked after the page is left.
#include "gui/app/main_window_fixture.h"
#include "core/cea/block1_builder.h"

#include <functional>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

namespace pellam::test {
namespace {

constexpr int k480p60 = 8;   // "720x480p 59.94Hz 4:3"
constexpr int k720p60 = 10;  // "1280x720p 60Hz 16:9"
constexpr int k1080p60 = 12; // "1920x1080p 60Hz 16:9"

const Bytes kVideo = {0x42, 0x84, 0x10};

Bytes candidate(int row) {
    const DtdBytes bytes = timingCandidateBytes(row);
    return Bytes(bytes.begin(), bytes.end());
}

class ExtensionTimingsPageTest : public MainWindowTest {
protected:
    ExtensionTimingsPage& page() { return *form.sheetB1DetailTiming; }

    void open(const EdidImage& edid) {
        load(edid);
        showPage(form.sheetB1DetailTiming);
    }
    // Block 1 from the first timing up to the checksum, after the page is left.
    Bytes leaveAndReadTimings() {
        showPage(form.TabSheet1);
        return Bytes(image().begin() + 128 + image()[130], image().begin() + 255);
    }
};

TEST_F(ExtensionTimingsPageTest, EditsThroughTheControlsReachBlock1WhenThePageIsLeft) {
    open(imageWithBlock1({kVideo}, {k720p60, k480p60}));
    EXPECT_EQ(page().ledDetailNo->text(), "2");
    ASSERT_EQ(page().cbxDetail->count(), 2);
    EXPECT_EQ(page().cbxDetail->currentText(), "Descriptor #1");
    EXPECT_EQ(page().Label29->text(), "Fit in With:  1280x720p 60Hz 16:9");
    EXPECT_EQ(page().ledPixelClock->text(), "74.25");
    EXPECT_EQ(page().ledTiming1->text(), "1280");
    EXPECT_EQ(page().ckxSerrate->text(), "V Polarity (Positive)");
    EXPECT_TRUE(page().ckxSerrate->isChecked() && page().ckxOnRGB->isChecked());

    // The second timing: image size, stereo mode, sync kind and a flag.
    page().cbxDetail->setCurrentIndex(1);
    EXPECT_EQ(page().Label29->text(), "Fit in With:  720x480p 59.94Hz 4:3");
    EXPECT_EQ(page().ledTiming5->text(), "531");
    enter(page().ledTiming5, "600");
    EXPECT_EQ(page().Label29->text(), "Fit in With:");
    page().rbnStereo6->click();
    page().rbnAD3->click();
    EXPECT_EQ(page().ckxOnRGB->text(), "Composite Polarity");
    page().ckxOnRGB->click();
    page().ckxInterlaced->click();

    // A third timing, shown at once, then given a candidate.
    enter(page().ledDetailNo, "3");
    ASSERT_EQ(page().cbxDetail->count(), 3);
    EXPECT_EQ(page().cbxDetail->currentIndex(), 0) << "the first timing is selected";
    EXPECT_EQ(page().ledTiming1->text(), "1280");
    page().cbxDetail->setCurrentIndex(2);
    EXPECT_EQ(page().ledPixelClock->text(), "0.00") << "a new timing starts empty";
    page().cbxTimingSelect_b1->setFocus();
    for (int i = 0; i <= k1080p60; ++i)
        QTest::keyClick(page().cbxTimingSelect_b1, Qt::Key_Down);
    EXPECT_EQ(page().cbxTimingSelect_b1->currentText(), "1920x1080p 60Hz 16:9");
    EXPECT_EQ(page().Label29->text(), "Fit in With:  1920x1080p 60Hz 16:9");
    EXPECT_EQ(page().ledTiming1->text(), "1920");
    EXPECT_TRUE(ui.messages.isEmpty()) << ui.messages.join('\n').toStdString();

    Bytes second = candidate(k480p60);
    second[12] = 600 & 0xFF; // the high nibble of 600 is 531's
    second[17] = 0xF2;       // interlaced, 4-way, digital composite, polarity
    Bytes expected = candidate(k720p60);
    for (const Bytes& timing : {second, candidate(k1080p60)})
        expected.insert(expected.end(), timing.begin(), timing.end());
    expected.resize(255 - 128 - 4 - kVideo.size(), 0);
    EXPECT_EQ(leaveAndReadTimings(), expected);
    EXPECT_EQ(image()[130], 4 + kVideo.size());
}

TEST_F(ExtensionTimingsPageTest, RefusalsShowTheirMessageAndChangeNothing) {
    // Two timings and 17 bytes free: a third does not fit.
    const EdidImage edid = imageWithBlock1({Bytes(70, 0)}, {k720p60, k480p60});
    open(edid);
    struct Case {
        const char* what;
        std::function<void()> act;
        QString message;
        std::function<bool()> shown;
    };
    const Case cases[] = {
        {"count with a letter", [&] { enter(page().ledDetailNo, "2x"); },
         "Invalid data! Please Input positive integer",
         [&] { return page().ledDetailNo->text() == "2"; }},
        {"count 2 -> 3 with 17 bytes free", [&] { enter(page().ledDetailNo, "3"); },
         "No Space of Extended Block",
         [&] { return page().ledDetailNo->text() == "2" && page().cbxDetail->count() == 2; }},
        {"clock with two points", [&] { enter(page().ledPixelClock, "74.2.5"); }, "Invalid data",
         [&] { return page().ledPixelClock->text() == "74.25"; }},
        {"clock emptied", [&] { enter(page().ledPixelClock, ""); },
         "'' is not a valid floating point value", [] { return true; }},
        {"field with a letter", [&] { enter(page().ledTiming3, "1x"); }, "Invalid data",
         [] { return true; }},
        {"field emptied", [&] { enter(page().ledTiming12, ""); },
         "'' is not a valid integer value", [] { return true; }},
    };
    for (const Case& c : cases) {
        ui.messages.clear();
        c.act();
        EXPECT_EQ(ui.messages, QStringList{c.message}) << c.what;
        EXPECT_TRUE(c.shown()) << c.what;
    }
    // An emptied count closes the timing controls and keeps the count.
    ui.messages.clear();
    enter(page().ledDetailNo, "");
    EXPECT_TRUE(ui.messages.isEmpty());
    EXPECT_FALSE(page().ledPixelClock->isEnabled());
    EXPECT_FALSE(page().cbxTimingSelect_b1->isEnabled());
    EXPECT_TRUE(page().ledDetailNo->isEnabled());
    showPage(form.TabSheet1);
    EXPECT_EQ(block1Of(image()), block1Of(edid));
}

TEST_F(ExtensionTimingsPageTest, WithNoTimingsTheControlsAreClosedAndEmpty) {
    open(imageWithBlock1({kVideo}, {k720p60, k480p60}));
    enter(page().ledDetailNo, "0");
    EXPECT_EQ(page().cbxDetail->count(), 0);
    for (QWidget* control : std::initializer_list<QWidget*>{
             page().cbxDetail, page().ledPixelClock, page().ledTiming1, page().ckxInterlaced,
             page().rbnStereo1, page().rbnAD4, page().ckxOnRGB, page().cbxTimingSelect_b1})
        EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
    EXPECT_TRUE(page().ledTiming1->text().isEmpty());
    EXPECT_EQ(page().Label29->text(), "Fit in With:");
    EXPECT_EQ(leaveAndReadTimings(), Bytes(255 - 128 - 4 - kVideo.size(), 0));
    EXPECT_EQ(image()[130], 4 + kVideo.size()) << "just behind the last data block";
}

} // namespace
} // namespace pellam::test
