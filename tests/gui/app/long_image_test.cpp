// An image longer than 256 bytes in the window: every block on the grid,
// named in the status line and the size menu, kept by a save, added and
// removed, and never cut by a transfer.
#include "gui/app/main_window_fixture.h"
#include "core/ddc/eeprom_workflow.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>

namespace pellam::test {
namespace {

class LongImageTest : public MainWindowTest {
protected:
    // A real TV EDID of four blocks: a block map, CTA-861 and DisplayID.
    std::string tv = (std::filesystem::path(PELLAM_CORPUS_DIR) / "del_4284_dell-g3223q_512.bin").string();

    void loadFile(const std::string& path) {
        ui.openAnswers.push_back(QString::fromStdString(path));
        form.btnLoadClick();
    }
    // Where the pointer is over a byte's cell, in grid pixels.
    QPoint centreOf(std::size_t offset) const {
        return {40 + static_cast<int>(offset % 16) * 40 + 20,
                24 + static_cast<int>(offset / 16) * 24 + 12};
    }
};

TEST_F(LongImageTest, EveryBlockIsShownNamedAndSaved) {
    loadFile(tv);
    ASSERT_TRUE(ui.messages.isEmpty()) << ui.messages.join('\n').toStdString();
    const std::string bytes = readFile(tv);
    EXPECT_EQ(form.StringGrid1->byteCount(), 512u);
    EXPECT_EQ(form.StringGrid1->rowCount(), 33);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        ASSERT_EQ(cell(i), QString::fromStdString(hexByte(static_cast<Byte>(bytes[i])))) << i;
    EXPECT_EQ(form.lblBlocks->text(), "4 blocks: base, block map, CTA-861, DisplayID");
    EXPECT_EQ(form.ImageSize1->text(), "大小: 512 字节 (4 块)");
    EXPECT_TRUE(form.RemoveExtensionBlock1->isEnabled());

    form.StringGrid1MouseMove(centreOf(0x1F0).x(), centreOf(0x1F0).y());
    EXPECT_EQ(form.StringGrid1->hintText(), "Block 3: DisplayID extension");

    // Edited in the grid, block 3 keeps its checksum with 自动校验 on.
    typeIntoCell(0x1A0, "5A");
    pressKey(Qt::Key_Return);
    EXPECT_EQ(session().byteAt(0x1A0), 0x5A);
    const EdidBytes now = session().imageBytes();
    EXPECT_EQ(blockChecksum(now, 3), now[0x1FF]);

    ui.saveAnswers.push_back(UserInteraction::SaveChoice{QString::fromStdString(dir.file("out")), 1});
    form.btnSaveClick();
    EXPECT_EQ(readFile(dir.file("out.bin")), std::string(now.begin(), now.end()));

    // A write would cut the image: it is refused before the sink is touched.
    form.session().ddc().settings().portType = kPortUsb;
    form.btnWrite->click();
    EXPECT_EQ(ui.messages.last(), QString::fromStdString(capacityProblem(EepromKind::C02, 512)));
    EXPECT_EQ(sim->eeprom.memory()[0], 0xFF) << "the simulated EEPROM is still blank";
}

TEST_F(LongImageTest, BlocksAreAddedAndRemovedThroughTheSizeMenu) {
    form.AddExtensionBlock1->trigger();
    EXPECT_EQ(form.StringGrid1->byteCount(), 384u);
    EXPECT_EQ(cell(0x100), "02");
    EXPECT_EQ(cell(126), "02");
    EXPECT_EQ(form.lblBlocks->text(), "3 blocks: base, CTA-861, CTA-861");

    ui.confirmAnswers.push_back(false);
    form.RemoveExtensionBlock1->trigger();
    EXPECT_EQ(form.StringGrid1->byteCount(), 384u) << "a no keeps the block";
    EXPECT_EQ(ui.questions.last(), "Remove block 2 (CTA-861 extension) from the image?");
    ui.confirmAnswers.push_back(true);
    form.RemoveExtensionBlock1->trigger();
    EXPECT_EQ(form.StringGrid1->byteCount(), 256u);
    EXPECT_EQ(cell(126), "01");
    EXPECT_FALSE(form.RemoveExtensionBlock1->isEnabled());
    EXPECT_EQ(image(), hdmiDefaultImage());
}

TEST_F(LongImageTest, AShorterFileReplacesEveryBlockOfALongerOne) {
    loadFile(tv);
    EdidImage small = hdmiDefaultImage();
    small[126] = 0;
    ApplyAutoChecksums(small, true);
    load(small, 128, "small.bin");
    EXPECT_EQ(form.StringGrid1->byteCount(), 256u);
    EXPECT_EQ(form.lblBlocks->text(), "1 block: base");
    for (std::size_t i = 128; i < 256; ++i)
        ASSERT_EQ(image()[i], 0) << i;
    // The analysis of the image now is that of the file alone.
    EXPECT_EQ(session().imageBytes(), EdidBytes(small.begin(), small.begin() + 128));
}

} // namespace
} // namespace pellam::test
