// Showing the audio, extended blocks, HDMI 2.x and timings pages never changes the
// collection: on every real EDID, and on a block 1 the pages cannot edit.
#include "gui/app/main_window_fixture.h"
#include "core/cea/extension_block.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QScrollBar>

namespace pellam::test {
namespace {

TEST(Block1PagesDecode, ShowingThePagesOnEveryRealEdidLeavesTheCollectionAsParsed) {
    EdidWorkspace workspace;
    SharedPageState state;
    DataBlockCollection collection;
    RecordingInteraction ui;
    AudioPage audio(state, collection, ui);
    ExtendedBlocksPage extended(state, collection, ui);
    ExtensionTimingsPage timings(state, collection, ui);
    Hdmi2Page hdmi2(state, collection, ui);
    timings.fillTimingCandidates();
    int withAudio = 0;
    int withTimings = 0;
    for (const auto& file : corpusFiles()) {
        workspace.image = imageFromBytes(readFile(file));
        parseExtensionBlock(workspace.image, collection);
        const DataBlockCollection parsed = collection;
        const std::string name = file.filename().string();
        audio.decodePage();
        extended.decodePage();
        timings.decodePage();
        hdmi2.decodePage();
        // Every descriptor shown in turn: the events the controls raise while
        // they are filled must not store anything.
        for (int i = 0; i < audio.cbxAudio->count(); ++i)
            audio.cbxAudio->setCurrentIndex(i);
        withAudio += audio.cbxAudio->count() > 0;
        for (int i = timings.cbxDetail->count() - 1; i >= 0; --i)
            timings.cbxDetail->setCurrentIndex(i);
        withTimings += timings.cbxDetail->count() > 1;
        EXPECT_EQ(collection, parsed) << name;
        EXPECT_EQ(state.pageFillGuard, 0) << name;
    }
    EXPECT_TRUE(ui.messages.isEmpty()) << ui.messages.join('\n').toStdString();
    EXPECT_GT(withAudio, 100);
    EXPECT_GT(withTimings, 100);
}

TEST_F(MainWindowTest, ABlock1ThePagesCannotEditDisablesEveryControlAndSaysWhy) {
    // The default image's speakers, colorimetry and timings on view first.
    ExtensionTimingsPage& timings = *form.sheetB1DetailTiming;
    showPage(&timings);
    ASSERT_FALSE(timings.ledTiming1->text().isEmpty());
    showPage(form.sheetAudio);
    ASSERT_TRUE(form.sheetAudio->CheckBox_Speaker0->isChecked());
    EdidImage displayId = hdmiDefaultImage();
    displayId[128] = 0x70;
    ApplyAutoChecksums(displayId, true);
    load(displayId);
    const std::string note = form.session().collection().note;
    ASSERT_FALSE(note.empty());
    for (EditorPage* page : std::initializer_list<EditorPage*>{
             form.sheetAudio, form.sheetB1ExtendedDB, form.sheetHDMI2, form.sheetB1DetailTiming}) {
        showPage(page);
        const auto* label = page->findChild<QLabel*>("lblBlock1Note");
        ASSERT_NE(label, nullptr);
        EXPECT_TRUE(label->isVisible());
        EXPECT_EQ(label->text().toStdString(), note);
        QList<QWidget*> controls;
        for (QWidget* w : page->findChildren<QAbstractButton*>())
            controls << w;
        for (QWidget* w : page->findChildren<QLineEdit*>())
            controls << w;
        for (QWidget* w : page->findChildren<QComboBox*>())
            controls << w;
        for (QWidget* w : page->findChildren<QScrollBar*>())
            if (w->isVisible())
                controls << w;
        EXPECT_GT(controls.size(), 20);
        for (QWidget* control : controls)
            EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
        for (QAbstractButton* box : page->findChildren<QAbstractButton*>(
                 QRegularExpression("CheckBox_Speaker\\d|CheckBox_Color|CheckBox_Meta|ckxHF_|ckxHDR_|ckxCDB_")))
            EXPECT_FALSE(box->isChecked()) << box->objectName().toStdString();
    }
    EXPECT_TRUE(timings.ledTiming1->text().isEmpty()) << "no other EDID's timing on view";
    // Events that reach the timings page's handlers change nothing either.
    timings.ledDetailNo->setText("3");
    timings.cbxTimingSelect_b1Change(5);
    timings.ledPixelClock->setText("100");
    EXPECT_TRUE(ui.messages.isEmpty()) << ui.messages.join('\n').toStdString();
    showPage(form.TabSheet1);
    EXPECT_EQ(image(), displayId);
}

} // namespace
} // namespace pellam::test
