// Undo and redo, the modified mark and the questions that keep unsaved
// edits, driven through the window's menus and controls.
#include "gui/app/main_window_fixture.h"
#include "gui/app/edit_history.h"

#include <filesystem>

#include <QCheckBox>
#include <QMenu>
#include <QMimeData>
#include <QUndoStack>
#include <QUrl>

namespace pellam::test {
namespace {

using Bytes = std::vector<Byte>;

class EditHistoryTest : public MainWindowTest {
protected:
    Bytes bytes(std::size_t first, std::size_t count) {
        return Bytes(image().begin() + first, image().begin() + first + count);
    }
    void undo() { form.Undo1->trigger(); }
    // A click as the user makes it: history looks at the state once the
    // click is over.
    static void click(QCheckBox* box) {
        QTest::mouseClick(box, Qt::LeftButton, {}, box->rect().center());
        QCoreApplication::processEvents();
    }
    void redo() { form.Redo1->trigger(); }
};

TEST_F(EditHistoryTest, UndoAndRedoWalkBackAndForthOverGridPageAndLoad) {
    const EdidImage start = image();
    EXPECT_FALSE(form.Undo1->isEnabled());

    typeIntoCell(0x20, "2A");
    pressKey(Qt::Key_Return);
    ASSERT_EQ(image()[0x20], 0x2A);
    const EdidImage afterGrid = image();

    // The checksum the page switch writes belongs to the edit.
    showPage(form.TabSheet3);
    enter(form.TabSheet3->Edt_PrdCd, "8A0B");
    showPage(form.sheetHDMIVideo);
    ASSERT_EQ(bytes(10, 2), (Bytes{0x0B, 0x8A}));
    const EdidImage afterPage = image();

    // A block-1 edit and its writing when the page is left are one step.
    click(form.sheetHDMIVideo->formats->ckxUnderscan);
    showPage(form.TabSheet1);
    ASSERT_NE(image()[131], afterPage[131]);
    const EdidImage afterBlock1 = image();

    EdidImage other = displayPortDefaultImage();
    load(other);
    ASSERT_EQ(image()[0x14], other[0x14]);
    const EdidImage loaded = image();

    const EdidImage* const states[] = {&start, &afterGrid, &afterPage, &afterBlock1, &loaded};
    for (int i = 3; i >= 0; --i) {
        undo();
        EXPECT_EQ(image(), *states[i]) << "undo to state " << i;
        EXPECT_EQ(cell(0x20), QString::fromStdString(hexByte(image()[0x20]))) << "the grid follows";
    }
    EXPECT_FALSE(form.Undo1->isEnabled());
    for (int i = 1; i <= 4; ++i) {
        redo();
        EXPECT_EQ(image(), *states[i]) << "redo to state " << i;
    }
    EXPECT_FALSE(form.Redo1->isEnabled());

    // The page on view shows the state undo put back.
    undo();
    undo();
    showPage(form.TabSheet3);
    EXPECT_EQ(form.TabSheet3->Edt_PrdCd->text(), "8A0B");
    undo();
    EXPECT_EQ(image(), afterGrid);
    EXPECT_NE(form.TabSheet3->Edt_PrdCd->text(), "8A0B");
}

TEST_F(EditHistoryTest, UndoOnABlock1PageTakesBackItsLastEditOnly) {
    showPage(form.sheetHDMIVideo);
    QCheckBox* underscan = form.sheetHDMIVideo->formats->ckxUnderscan;
    QCheckBox* basicAudio = form.sheetHDMIVideo->formats->ckxBasicAudio;
    const bool underscanBefore = underscan->isChecked();
    const bool audioBefore = basicAudio->isChecked();
    click(underscan);
    click(basicAudio);
    undo();
    EXPECT_EQ(basicAudio->isChecked(), audioBefore);
    EXPECT_NE(underscan->isChecked(), underscanBefore);
    showPage(form.TabSheet1);
    const Byte flags = image()[131];
    EXPECT_NE(bool(flags & 0x80), underscanBefore) << "the edit kept is written";
    EXPECT_EQ(bool(flags & 0x40), audioBefore);
}

TEST_F(EditHistoryTest, LookingAtEveryPageOfARealEdidChangesNothing) {
    for (const char* name : {"gsm_774f_lg-hdr-4k_256.bin", "del_2200_dell-s2721qs_256.bin"}) {
        SCOPED_TRACE(name);
        const auto file = std::filesystem::path(PELLAM_CORPUS_DIR) / name;
        ui.openAnswers.push_back(QString::fromStdString(file.string()));
        form.btnLoadClick();
        ASSERT_EQ(form.currentFile(), QString::fromStdString(file.string()));
        const int steps = form.history()->stack()->count();
        for (int i = 0; i < form.PageControl1->count(); ++i)
            form.PageControl1->setCurrentIndex(i);
        form.PageControl1->setCurrentIndex(0);
        EXPECT_FALSE(form.isWindowModified());
        EXPECT_EQ(form.history()->stack()->count(), steps);
    }
}

TEST_F(EditHistoryTest, TheTitleNamesTheFileAndMarksUnsavedEdits) {
    EXPECT_EQ(form.windowTitle(), "Pellam v1.4[*]");
    EXPECT_FALSE(form.isWindowModified());
    load(hdmiDefaultImage(), 256, "tv.bin");
    EXPECT_EQ(form.windowTitle(), "tv.bin[*] - Pellam v1.4");
    EXPECT_FALSE(form.isWindowModified());

    typeIntoCell(0x20, "2A");
    pressKey(Qt::Key_Return);
    EXPECT_TRUE(form.isWindowModified());
    // Save writes the file it came from, without a dialog.
    form.Save1->trigger();
    EXPECT_TRUE(ui.saveFilters.isEmpty());
    EXPECT_FALSE(form.isWindowModified());
    EXPECT_EQ(static_cast<Byte>(readFile(dir.file("tv.bin"))[0x20]), 0x2A);
    undo();
    EXPECT_TRUE(form.isWindowModified()) << "the saved byte was taken back";

    // Opened again from the recent files.
    ASSERT_FALSE(form.RecentFiles1->actions().isEmpty());
    EXPECT_EQ(form.RecentFiles1->actions().first()->data().toString(),
              QString::fromStdString(dir.file("tv.bin")));
    ui.saveAnswersToAsk.push_back(UserInteraction::SaveAnswer::Discard);
    form.RecentFiles1->actions().first()->trigger();
    EXPECT_EQ(image()[0x20], 0x2A);
    EXPECT_FALSE(form.isWindowModified());
}

TEST_F(EditHistoryTest, UnsavedEditsAreAskedAboutBeforeTheyCanBeLost) {
    // Nothing edited: nothing asked.
    form.New1->trigger();
    EXPECT_TRUE(ui.saveQuestions.isEmpty());

    showPage(form.TabSheet3);
    enter(form.TabSheet3->Edt_PrdCd, "8A0B");
    const EdidImage edited = image();

    // Cancel keeps everything.
    ui.saveAnswersToAsk = {UserInteraction::SaveAnswer::Cancel,
                           UserInteraction::SaveAnswer::Cancel};
    form.New1->trigger();
    EXPECT_FALSE(form.close());
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(image(), edited);
    EXPECT_EQ(ui.saveQuestions, (QStringList{"保存修改?", "保存修改?"}));

    // Save asks for a name, as the image has no file; a cancelled dialog
    // cancels the close too.
    ui.saveAnswersToAsk = {UserInteraction::SaveAnswer::Save, UserInteraction::SaveAnswer::Save};
    ui.saveAnswers.push_back(std::nullopt);
    EXPECT_FALSE(form.close());
    ui.saveAnswers.push_back(UserInteraction::SaveChoice{QString::fromStdString(dir.file("kept")), 1});
    EXPECT_TRUE(form.close());
    EXPECT_EQ(readFile(dir.file("kept.bin")).substr(10, 2), "\x0B\x8A");
}

TEST_F(EditHistoryTest, ADroppedFileIsLoaded) {
    EdidImage dropped = displayPortDefaultImage();
    ApplyAutoChecksums(dropped, true);
    writeFile(dir.file("dropped.bin"), formatRawBinary(std::span(dropped).first(256)));
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(dir.file("dropped.bin")))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&form, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&form, &drop);
    QCoreApplication::processEvents();
    EXPECT_EQ(image(), dropped);
    EXPECT_EQ(form.currentFile(), QString::fromStdString(dir.file("dropped.bin")));
}

} // namespace
} // namespace pellam::test
