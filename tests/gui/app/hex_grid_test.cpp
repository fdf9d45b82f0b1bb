#include "core/edid/debug_log.h"
#include "core/session/grid_model.h"
#include "gui/app/main_window_fixture.h"

#include <QImage>
#include <QLineEdit>

namespace pellam::test {
namespace {

class HexGridTest : public MainWindowTest {};

// Pointer position in grid pixels over the middle of a byte's cell.
QPoint centreOf(int byte) {
    return {40 * (byte % 16 + 1) + 20, 24 * (byte / 16 + 1) + 12};
}

TEST_F(HexGridTest, EnterStoresTheTypedByteAndParsesBlock1Again) {
    typeIntoCell(0x85, "90"); // first short video descriptor
    ASSERT_NE(qobject_cast<QLineEdit*>(focused()), nullptr) << "typing opened the editor";
    pressKey(Qt::Key_Return);
    EXPECT_TRUE(ui.messages.isEmpty());
    EXPECT_EQ(image()[0x85], 0x90);
    EXPECT_EQ(cell(0x85), "90");
    EXPECT_EQ(form.session().collection().video.svds[0], (ShortVideoDescriptor{true, 16}));
    EXPECT_EQ(Checksum(image(), 1), image()[255]);
    EXPECT_EQ(cell(255), QString::fromStdString(hexByte(image()[255])));
}

TEST_F(HexGridTest, TextLeftWithoutEnterNeverReachesTheImage) {
    typeIntoCell(0x40, "AB");
    pressKey(Qt::Key_Down);
    EXPECT_EQ(image()[0x40], 0x55);
    form.RenderGrid();
    EXPECT_EQ(cell(0x40), "55");
}

TEST_F(HexGridTest, WideValuesKeepTheirLowByte) {
    typeIntoCell(0x40, "1ff");
    pressKey(Qt::Key_Enter);
    EXPECT_EQ(image()[0x40], 0xFF);
    EXPECT_EQ(cell(0x40), "FF");
}

TEST_F(HexGridTest, BadTextIsReportedAndChangesNothing) {
    image()[127] = 0; // would be rewritten by a key that got through
    const EdidImage before = image();
    form.session().block1().collection().speaker.allocation = 0x4B;
    typeIntoCell(0x40, "zz");
    image()[127] = 0; // the keys typed rewrote it; Enter must not
    const EdidImage typed = image();
    pressKey(Qt::Key_Return);
    EXPECT_EQ(ui.messages, QStringList{"'0xzz' is not a valid integer value"});
    EXPECT_EQ(image(), typed);
    EXPECT_EQ(image()[0x40], before[0x40]);
    EXPECT_EQ(form.StringGrid1->currentCellText(), "zz") << "the typed text stays to be mended";
}

TEST_F(HexGridTest, AnyKeyRewritesTheChecksums) {
    image()[127] = 0;
    image()[255] = 0;
    form.StringGrid1->setCurrentOffset(0x20);
    form.StringGrid1->setFocus();
    pressKey(Qt::Key_Right);
    EXPECT_EQ(image()[127], 0x21);
    EXPECT_EQ(image()[255], 0x68);
    EXPECT_EQ(cell(127), "21");
    EXPECT_EQ(cell(255), "68");
}

TEST_F(HexGridTest, Byte126TypedInTheGridIsNotAModeChange) {
    typeIntoCell(0x7E, "00");
    pressKey(Qt::Key_Return);
    EXPECT_EQ(image()[126], 0);
    EXPECT_TRUE(form.N256Bytes1->isChecked());
    EXPECT_EQ(visibleTabs().size(), 10);
}

TEST_F(HexGridTest, In128ByteModeBlock1ShowsGreyZerosButEnterStillWrites) {
    form.N128Bytes1->trigger();
    EXPECT_EQ(cells().marks[0x90], kCellHidden);
    EXPECT_EQ(cell(0x90), "09") << "the cell keeps the real byte under the grey 00";
    typeIntoCell(0x90, "AA");
    pressKey(Qt::Key_Return);
    EXPECT_EQ(image()[0x90], 0xAA);
}

TEST_F(HexGridTest, HintsNameTheStructureUnderThePointer) {
    std::vector<std::string> trace;
    const DebugLogSink old =
        setDebugLogSink([&](std::string_view line) { trace.emplace_back(line); });
    struct Case {
        int byte;
        const char* hint; // nullptr: no hint
    };
    const Case cases[] = {
        {0, nullptr},
        {53, nullptr},
        {54, "Detail Timing Block"},
        {95, "Monitor Name"},
        {110, "Monitor Range"},
        {126, nullptr},
        {127, nullptr},
        {0x85, "Short Video Descriptor"},
        {0x90, "Short Audio Descriptor"},
        {0x94, "Speaker Allocation"},
        {0x98, "VSDB Block"},
        {0x30, nullptr},
        {0x98, "VSDB Block"},
        {0xA0, "Detail Timing Block"},
        {0xF0, nullptr},
    };
    for (const Case& c : cases) {
        const QPoint at = centreOf(c.byte);
        form.StringGrid1MouseMove(at.x(), at.y());
        EXPECT_EQ(form.StringGrid1->hintEnabled(), c.hint != nullptr) << c.byte;
        if (c.hint) {
            EXPECT_EQ(form.StringGrid1->hintText(), c.hint) << c.byte;
        }
    }
    // Over the row-header column, the row's first byte; over the column headers, nothing.
    form.StringGrid1MouseMove(10, centreOf(0x60).y());
    EXPECT_EQ(form.StringGrid1->hintText(), "Monitor Name");
    form.StringGrid1MouseMove(centreOf(0x65).x(), 10);
    EXPECT_FALSE(form.StringGrid1->hintEnabled());
    setDebugLogSink(old);
    ASSERT_GE(trace.size(), 2u);
    EXPECT_EQ(trace[0], "Row Col 0 0");
    EXPECT_EQ(trace[1], "type 11");
}

TEST_F(HexGridTest, CellsArePaintedFromTheirStateAndMark) {
    cells().marks[0x22] = kCellDiffers;
    form.StringGrid1->viewport()->update();
    const QImage shot = form.StringGrid1->grab().toImage();
    const auto background = [&](int byte) {
        const QPoint p(40 * (byte % 16 + 1) + 30, 24 * (byte / 16 + 1) + 18);
        return shot.pixelColor(p).rgb() & 0xFFFFFF;
    };
    EXPECT_EQ(background(54), 0xC0DCC0u);
    EXPECT_EQ(background(0x84), 0xF78FF0u);
    EXPECT_EQ(background(0x98), 0xFBF58Au);
    EXPECT_EQ(background(0xA0), 0xC0DCC0u);
    EXPECT_EQ(background(0xB0), 0xA6CAF0u);
    // Text pixels are anti-aliased: look for ones where the text colour dominates.
    const auto hasText = [&](int byte, bool red) {
        for (int y = 1; y < 23; ++y) {
            for (int x = 1; x < 39; ++x) {
                const QColor c =
                    shot.pixelColor(40 * (byte % 16 + 1) + x, 24 * (byte / 16 + 1) + y);
                const int main = red ? c.red() : c.blue();
                const int other =
                    red ? std::max(c.green(), c.blue()) : std::max(c.red(), c.green());
                if (main > 150 && other < 100)
                    return true;
            }
        }
        return false;
    };
    EXPECT_TRUE(hasText(0x22, true)) << "a differing byte is red";
    EXPECT_FALSE(hasText(0x22, false));
    EXPECT_TRUE(hasText(0x23, false)) << "other bytes are blue";
    EXPECT_FALSE(hasText(0x23, true));
}

} // namespace
} // namespace pellam::test
