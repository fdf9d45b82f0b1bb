// The video page driven through its controls, in the main window (block 1
// rebuilt when the page is left) and alone over every real EDID.
#include "gui/app/main_window_fixture.h"
#include "core/cea/block1_builder.h"
#include "core/cea/extension_block.h"
#include "gui/ui/key_value_list.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace pellam::test {
namespace {

const Bytes kVideo = {0x43, 0x90, 0x04, 0x3C}; // VIC 16 native, 4, 60
const Bytes kAudio = {0x23, 0x09, 0x07, 0x07};

QListWidgetItem* itemOf(QListWidget* list, int vic) {
    const auto found = list->findItems(QString::asprintf("#%2d,", vic), Qt::MatchStartsWith);
    return found.size() == 1 ? found.front() : nullptr;
}

QStringList texts(const QListWidget* list) {
    QStringList result;
    for (int i = 0; i < list->count(); ++i)
        result << list->item(i)->text();
    return result;
}

class VideoPageTest : public MainWindowTest {
protected:
    VideoPage& page() { return *form.sheetHDMIVideo; }
    DataBlockCollection& collection() { return form.session().block1().collection(); }

    void moveFormat(QListWidget* from, int vic, QPushButton* button) {
        QListWidgetItem* item = itemOf(from, vic);
        ASSERT_NE(item, nullptr) << vic;
        from->setCurrentItem(item);
        button->click();
    }

    // The data blocks of block 1 in the image, header bytes included.
    Bytes blocks() const {
        const EdidImage& im = const_cast<VideoPageTest*>(this)->image();
        return Bytes(im.begin() + 132, im.begin() + 128 + im[130]);
    }

    // The last n bytes of the data blocks.
    Bytes lastBlockBytes(std::size_t n) const {
        const Bytes all = blocks();
        return Bytes(all.end() - static_cast<std::ptrdiff_t>(std::min(n, all.size())), all.end());
    }

};

TEST_F(VideoPageTest, FormatsMovedByTheButtonsAreWrittenWhenThePageIsLeft) {
    load(imageWithBlock1({kVideo, kAudio}));
    showPage(form.sheetHDMIVideo);
    EXPECT_EQ(texts(page().formats->clxVideoSupport),
              QStringList({"# 4, 1280x720p 59.94/60Hz 16:9", "#16, 1920x1080p 59.94/60Hz 16:9",
                           "#60, 1280x720p 24Hz 16:9"}));
    EXPECT_EQ(page().formats->clxVideoSupport->item(1)->checkState(), Qt::Checked);
    EXPECT_EQ(page().formats->lbxVideoDefault->count(), 127 + 27 - 3);

    moveFormat(page().formats->lbxVideoDefault, 2, page().formats->btnVideoAdd);
    moveFormat(page().formats->clxVideoSupport, 16, page().formats->btnVideoDelete);
    // Nothing selected: nothing moves.
    page().formats->lbxVideoDefault->setCurrentItem(nullptr);
    page().formats->btnVideoAdd->click();
    EXPECT_EQ(texts(page().formats->clxVideoSupport),
              QStringList({"# 4, 1280x720p 59.94/60Hz 16:9", "#60, 1280x720p 24Hz 16:9",
                           "# 2, 720x480p 59.94/60Hz 4:3"}));
    EXPECT_EQ(texts(page().formats->lbxVideoDefault).last(), "#16, 1920x1080p 59.94/60Hz 16:9");
    itemOf(page().formats->clxVideoSupport, 4)->setCheckState(Qt::Checked);

    showPage(form.TabSheet1);
    EXPECT_EQ(blocks(), (Bytes{0x43, 0x84, 0x3C, 0x02, 0x23, 0x09, 0x07, 0x07}));
    EXPECT_EQ(cell(133), "84");

    // Moved back, VIC 16 is no longer native; the lists are in VIC order again.
    showPage(form.sheetHDMIVideo);
    EXPECT_EQ(texts(page().formats->clxVideoSupport).first(), "# 2, 720x480p 59.94/60Hz 4:3");
    moveFormat(page().formats->lbxVideoDefault, 16, page().formats->btnVideoAdd);
    moveFormat(page().formats->clxVideoSupport, 4, page().formats->btnVideoDelete);
    moveFormat(page().formats->clxVideoSupport, 2, page().formats->btnVideoDelete);
    showPage(form.TabSheet1);
    EXPECT_EQ(blocks(), (Bytes{0x42, 0x3C, 0x10, 0x23, 0x09, 0x07, 0x07}));
    EXPECT_TRUE(ui.messages.isEmpty()) << ui.messages.join('\n').toStdString();
}

TEST_F(VideoPageTest, HeaderFlagsAndCountsFromTheirControls) {
    load(imageWithBlock1({kVideo}, {}, 0xF2));
    showPage(form.sheetHDMIVideo);
    EXPECT_EQ(page().formats->edtNativeFormat->text(), "2");
    EXPECT_EQ(page().formats->edtCEA_ver->text(), "3");
    page().formats->ckxBasicAudio->click();
    const QString refused[][2] = {{"x", "Invalid data"}, {"17", "Should be 0 ~ 15"}};
    for (const auto& [typed, message] : refused) {
        ui.messages.clear();
        enter(page().formats->edtNativeFormat, typed);
        EXPECT_EQ(ui.messages, QStringList{message});
        EXPECT_EQ(page().formats->edtNativeFormat->text(), "2") << "the stored count is shown again";
    }
    enter(page().formats->edtNativeFormat, "1");
    enter(page().formats->edtCEA_ver, "256");
    EXPECT_EQ(ui.messages.last(), "Should be 0 ~ 255");
    enter(page().formats->edtCEA_ver, "4");
    showPage(form.TabSheet1);
    EXPECT_EQ(image()[129], 0x04);
    EXPECT_EQ(image()[131], 0xB1);
}

TEST_F(VideoPageTest, EnablingAndExtendingTheVsdbThroughItsControls) {
    load(imageWithBlock1({kVideo, kAudio}));
    showPage(form.sheetHDMIVideo);
    EXPECT_FALSE(page().gbxVSDB->ckxVSDBEnable->isChecked());
    EXPECT_FALSE(page().gbxVSDB->ckxVSDBExt->isEnabled());
    page().gbxVSDB->ckxVSDBEnable->click();
    EXPECT_EQ(page().gbxVSDB->edtPhyAddr_1->text(), "1");
    EXPECT_TRUE(page().gbxVSDB->ckxVSDBExt->isEnabled());
    EXPECT_FALSE(page().gbxVSDB->ledVSDBLen->isEnabled());
    showPage(form.TabSheet1);
    EXPECT_EQ(lastBlockBytes(6), (Bytes{0x65, 0x03, 0x0C, 0x00, 0x10, 0x00}));

    showPage(form.sheetHDMIVideo);
    page().gbxVSDB->ckxVSDBExt->click();
    EXPECT_EQ(page().gbxVSDB->ledVSDBLen->text(), "6");
    EXPECT_FALSE(page().gbxVSDB->ledVSDB_MaxTMDSClk->isEnabled());
    enter(page().gbxVSDB->ledVSDBLen, "11");
    EXPECT_TRUE(page().gbxVSDB->ledVSDB_MaxTMDSClk->isEnabled());
    EXPECT_TRUE(page().gbxVSDB->ckxLatencyFieldsPresent->isEnabled());
    EXPECT_FALSE(page().gbxVSDB->ledLatency_Video->isEnabled());
    enter(page().gbxVSDB->edtPhyAddr_2, "b");
    page().gbxVSDB->ckxDC_36bit->click();
    enter(page().gbxVSDB->ledVSDB_MaxTMDSClk, "300");
    page().gbxVSDB->ckxLatencyFieldsPresent->click();
    EXPECT_TRUE(page().gbxVSDB->ledLatency_Audio->isEnabled());
    enter(page().gbxVSDB->ledLatency_Video, "40");
    enter(page().gbxVSDB->ledLatency_Audio, "n_s");
    page().gbxVSDB->cbxVSDB_CNC3->click();
    // Typed and not yet left: taken when another page is shown.
    page().gbxVSDB->ledVSDBLen->setFocus();
    page().gbxVSDB->ledVSDBLen->selectAll();
    QTest::keyClicks(page().gbxVSDB->ledVSDBLen, "12");
    showPage(form.TabSheet1);
    EXPECT_EQ(lastBlockBytes(13),
              (Bytes{0x6C, 0x03, 0x0C, 0x00, 0x1B, 0x00, 0x20, 0x3C, 0x88, 21, 255, 0, 0}));
    EXPECT_TRUE(ui.messages.isEmpty()) << ui.messages.join('\n').toStdString();
}

TEST_F(VideoPageTest, PanelSaveCommitsAndCancelDoesNot) {
    // 12 bytes, no latency: room for one HDMI_VIC code.
    load(imageWithBlock1(
        {kVideo, {0x6B, 0x03, 0x0C, 0x00, 0x10, 0x00, 0x00, 0x2D, 0x00, 0x00, 0x00, 0x00}}));
    showPage(form.sheetHDMIVideo);
    EXPECT_FALSE(page().gbxHDMIVideoPresent->isVisible());
    page().gbxVSDB->cbHDMIVideoPresent_Enable->click();
    ASSERT_TRUE(page().gbxHDMIVideoPresent->isVisible());
    EXPECT_TRUE(page().gbxHDMIVideoPresent->ledtHVP_HDMIVICLen->isEnabled());
    enter(page().gbxHDMIVideoPresent->ledtHVP_HDMIVICLen, "3");
    EXPECT_EQ(ui.messages, QStringList{"Should be within 0 ~ 1"});
    EXPECT_EQ(page().gbxHDMIVideoPresent->ledtHVP_HDMIVICLen->text(), "1");
    EXPECT_EQ(page().gbxHDMIVideoPresent->ledtHVP_HDMI3DLen->text(), "0");
    ASSERT_EQ(page().gbxHDMIVideoPresent->vledtHVP_4K2KVIC->lines(), QStringList{"1= 0"});
    // Editing a value saves the panel at once.
    page().gbxHDMIVideoPresent->vledtHVP_4K2KVIC->setValueText(0, "4");
    EXPECT_FALSE(page().gbxHDMIVideoPresent->isVisible());
    EXPECT_EQ(collection().vsdb.hdmiVicLen, 1);
    EXPECT_EQ(collection().vsdb.hdmiVic[0], 4);

    const DataBlockCollection saved = collection();
    page().gbxVSDB->btHDMIVideoPresent_View->click();
    EXPECT_EQ(page().gbxHDMIVideoPresent->vledtHVP_4K2KVIC->lines(), QStringList{"1= 4"});
    EXPECT_EQ(page().gbxHDMIVideoPresent->vledtHVP_4K2KVIC->item(0, 1)->toolTip(),
              "4096x2160p 24Hz 256:135");
    enter(page().gbxHDMIVideoPresent->ledtHVP_HDMIVICLen, "0");
    page().gbxHDMIVideoPresent->btHDMIVideoPresent_Cancel->click();
    EXPECT_FALSE(page().gbxHDMIVideoPresent->isVisible());
    EXPECT_EQ(collection(), saved);

    showPage(form.TabSheet1);
    EXPECT_EQ(lastBlockBytes(12),
              (Bytes{0x6B, 0x03, 0x0C, 0x00, 0x10, 0x00, 0x00, 0x2D, 0x20, 0x00, 0x20, 0x04}));
}

TEST_F(VideoPageTest, Panel3DFields) {
    // 17 bytes, no latency: 6 bytes after HDMI_VIC_LEN.
    Bytes vsdb = {0x70, 0x03, 0x0C, 0x00, 0x10, 0x00, 0x00, 0x2D, 0x20, 0x00, 0x00};
    vsdb.resize(17, 0);
    load(imageWithBlock1({kVideo, vsdb}));
    showPage(form.sheetHDMIVideo);
    page().gbxVSDB->btHDMIVideoPresent_View->click();
    EXPECT_FALSE(page().gbxHDMIVideoPresent->clxHVP_3DStructure->isEnabled());
    page().gbxHDMIVideoPresent->cbHVP_3Dpresent->click();
    enter(page().gbxHDMIVideoPresent->ledtHVP_3DMultiPresent, "10");
    enter(page().gbxHDMIVideoPresent->ledtHVP_HDMI3DLen, "6");
    EXPECT_EQ(page().gbxHDMIVideoPresent->ledtHVP_HDMIVICLen->text(), "0");
    EXPECT_TRUE(page().gbxHDMIVideoPresent->clxHVP_3DStructure->isEnabled());
    EXPECT_TRUE(page().gbxHDMIVideoPresent->clxHVP_3DMask->isEnabled());
    EXPECT_EQ(page().gbxHDMIVideoPresent->vledtHVP_IndividualVIC->lines(),
              QStringList({"2D_VIC_order_1= 0", "3D_Structure_1= 0", "2D_VIC_order_2= 0",
                           "3D_Structure_2= 0"}));
    page().gbxHDMIVideoPresent->clxHVP_3DStructure->item(7)->setCheckState(Qt::Checked);
    EXPECT_EQ(ui.messages, QStringList{"Should be filled 0"});
    EXPECT_EQ(page().gbxHDMIVideoPresent->clxHVP_3DStructure->item(7)->checkState(), Qt::Unchecked);
    page().gbxHDMIVideoPresent->clxHVP_3DStructure->item(8)->setCheckState(Qt::Checked);
    page().gbxHDMIVideoPresent->clxHVP_3DMask->item(1)->setCheckState(Qt::Checked);
    // A structure of 8 takes the second byte as its detail.
    page().gbxHDMIVideoPresent->vledtHVP_IndividualVIC->setValueText(1, " 8");
    EXPECT_FALSE(page().gbxHDMIVideoPresent->isVisible());
    showPage(form.TabSheet1);
    EXPECT_EQ(lastBlockBytes(8), (Bytes{0xC0, 0x06, 0x01, 0x00, 0x00, 0x02, 0x08, 0x00}));
}

TEST_F(VideoPageTest, VisitingAVsdbWhoseLengthsDoNotFitItLeavesIt) {
    // HDMI_VIC_LEN 3 and HDMI_3D_LEN 4 in a block that has room for one code.
    const EdidImage loaded = imageWithBlock1(
        {kVideo, {0x6B, 0x03, 0x0C, 0x00, 0x10, 0x00, 0x00, 0x2D, 0x20, 0x00, 0x64, 0x01}});
    load(loaded);
    showPage(form.sheetHDMIVideo);
    page().gbxVSDB->btHDMIVideoPresent_View->click();
    EXPECT_EQ(page().gbxHDMIVideoPresent->ledtHVP_HDMIVICLen->text(), "3");
    page().gbxHDMIVideoPresent->btHDMIVideoPresent_Cancel->click();
    showPage(form.TabSheet1);
    EXPECT_EQ(image(), loaded);
    // An edit of the block fits the lengths to it.
    showPage(form.sheetHDMIVideo);
    page().gbxVSDB->ckxLatencyFieldsPresent->click();
    page().gbxVSDB->ckxLatencyFieldsPresent->click();
    showPage(form.TabSheet1);
    EXPECT_EQ(lastBlockBytes(4), (Bytes{0x20, 0x00, 0x20, 0x01}));
}

TEST_F(VideoPageTest, ABlock1ThatCannotBeEditedDisablesThePage) {
    EdidImage displayId = hdmiDefaultImage();
    std::fill(displayId.begin() + 128, displayId.end(), 0);
    displayId[128] = 0x70;
    ApplyAutoChecksums(displayId, true);
    load(displayId);
    showPage(form.sheetHDMIVideo);
    EXPECT_TRUE(page().lblBlock1Note->isVisible());
    EXPECT_EQ(page().lblBlock1Note->text().toStdString(), collection().note);
    for (QWidget* control : std::initializer_list<QWidget*>{
             page().formats->btnVideoAdd, page().formats->lbxVideoDefault, page().formats->ckxUnderscan, page().gbxVSDB->ckxVSDBEnable,
             page().formats->edtNativeFormat, page().gbxVSDB->btHDMIVideoPresent_View})
        EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
    EXPECT_EQ(page().formats->lbxVideoDefault->count(), 0);
    showPage(form.TabSheet1);
    EXPECT_EQ(image(), displayId);

    load(hdmiDefaultImage());
    showPage(form.sheetHDMIVideo);
    EXPECT_FALSE(page().lblBlock1Note->isVisible());
    EXPECT_TRUE(page().formats->btnVideoAdd->isEnabled());
}

TEST_F(VideoPageTest, AnEditKeepsTheBlocksThePageDoesNotShow) {
    const auto file = std::filesystem::path(PELLAM_CORPUS_DIR) / "gsm_774f_lg-hdr-4k_256.bin";
    const EdidImage original = imageFromBytes(readFile(file));
    load(original);
    showPage(form.sheetHDMIVideo);
    moveFormat(page().formats->lbxVideoDefault, 5, page().formats->btnVideoAdd);
    enter(page().gbxVSDB->ledVSDB_MaxTMDSClk, "600");
    showPage(form.TabSheet1);

    // Audio, speakers, video (at 140, 13 SVDs), HDMI VSDB (at 154), HDMI
    // Forum VSDB, 4:2:0 map, video capability, colorimetry, HDR static
    // metadata, three timings: one SVD more, one byte later, nothing else.
    Bytes expected(original.begin() + 128, original.begin() + 255);
    expected[2] += 1;
    expected[140 - 128] = 0x4E;
    expected.insert(expected.begin() + (154 - 128), 0x05);
    expected[162 - 128] = 600 / 5;
    expected.resize(127);
    EXPECT_EQ(Bytes(image().begin() + 128, image().begin() + 255), expected);
}

// Typing a value too high for the field, key by key: nothing is stored while
// typing (not the "200" on the way), the message comes once, at Enter, and
// the image keeps its old value when the page is left.
TEST_F(VideoPageTest, ARefusedMaxTmdsClockTypedKeyByKeyStoresNothing) {
    const auto file = std::filesystem::path(PELLAM_CORPUS_DIR) / "gsm_774f_lg-hdr-4k_256.bin";
    const EdidImage original = imageFromBytes(readFile(file));
    load(original);
    showPage(form.sheetHDMIVideo);
    QLineEdit* clock = page().gbxVSDB->ledVSDB_MaxTMDSClk;
    const QString before = clock->text();
    clock->setFocus();
    clock->selectAll();
    QTest::keyClicks(clock, "2000");
    EXPECT_TRUE(ui.messages.isEmpty()) << ui.messages.join('\n').toStdString();
    QTest::keyClick(clock, Qt::Key_Return);
    EXPECT_EQ(ui.messages, QStringList{"Should be <= 1275 MHz"});
    showPage(form.TabSheet1);
    EXPECT_EQ(ui.messages.size(), 1);
    EXPECT_EQ(image(), original);
    showPage(form.sheetHDMIVideo);
    EXPECT_EQ(page().gbxVSDB->ledVSDB_MaxTMDSClk->text(), before);
}

// The VICs of the first Video Data Block of block 1 as the reference decoder
// lists them, each with whether it is native.
std::map<int, bool> referenceVics(const std::filesystem::path& edid) {
    const auto text = edid.parent_path().parent_path() / "edid-decode" /
                      (edid.stem().string() + ".edid-decode.txt");
    std::ifstream in(text);
    std::map<int, bool> vics;
    const std::regex vic(R"(^    (?:VIC +(\d+):.*?( \(native\))?|Unknown \(VIC (\d+)\)))");
    bool inBlock1 = false, inVideo = false;
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with("Block "))
            inBlock1 = line.starts_with("Block 1,");
        else if (inBlock1 && line.starts_with("  ") && !line.starts_with("   "))
            inVideo = line == "  Video Data Block:" && vics.empty();
        std::smatch m;
        if (inBlock1 && inVideo && std::regex_match(line, m, vic))
            vics.emplace(std::stoi(m[1].matched ? m[1] : m[3]), m[2].matched);
    }
    return vics;
}

// Showing the page, opening its panel and closing it again never changes the
// collection; saving the panel unchanged leaves block 1 as it was.
TEST(VideoPageCorpus, DecodingAndSavingUnchangedKeepBlock1) {
    int withHdmiVideo = 0;
    for (const auto& file : corpusFiles()) {
        const EdidImage image = imageFromBytes(readFile(file));
        const std::string name = file.filename().string();
        SharedPageState state;
        DataBlockCollection parsed;
        parseExtensionBlock(image, parsed);
        DataBlockCollection c = parsed;
        RecordingInteraction ui;
        VideoPage page(state, c, ui);
        page.resize(745, 490);
        page.decodePage();
        // Every VIC of the block is listed as selected, with its native flag.
        std::map<int, bool> listed;
        for (int row = 0; row < page.formats->clxVideoSupport->count(); ++row) {
            const QListWidgetItem* item = page.formats->clxVideoSupport->item(row);
            const auto vic = vicFromItemText(item->text().toStdString());
            ASSERT_TRUE(vic) << name;
            listed.emplace(*vic, item->checkState() == Qt::Checked);
        }
        // The reference decoder does not list an SVD byte 00h.
        listed.erase(0);
        if (c.editable) {
            EXPECT_EQ(listed, referenceVics(file)) << name;
        }
        if (page.gbxVSDB->btHDMIVideoPresent_View->isEnabled()) {
            page.gbxVSDB->btHDMIVideoPresent_View->click();
            page.gbxHDMIVideoPresent->btHDMIVideoPresent_Cancel->click();
        }
        page.leavePage();
        ASSERT_EQ(c, parsed) << name;
        EXPECT_TRUE(ui.messages.isEmpty()) << name << ": " << ui.messages.join('\n').toStdString();

        if (!c.vsdb.present || !c.vsdb.hdmiVideoPresent)
            continue;
        ++withHdmiVideo;
        page.gbxVSDB->btHDMIVideoPresent_View->click();
        page.gbxHDMIVideoPresent->btHDMIVideoPresent_Save->click();
        EXPECT_TRUE(ui.messages.isEmpty()) << name << ": " << ui.messages.join('\n').toStdString();
        EdidImage fromParsed = image;
        EdidImage fromSaved = image;
        ASSERT_TRUE(rebuildExtensionBlock(fromParsed, parsed));
        ASSERT_TRUE(rebuildExtensionBlock(fromSaved, c));
        EXPECT_EQ(fromSaved, fromParsed) << name << "\n"
                                         << describeDifferences(fromParsed, fromSaved);
    }
    EXPECT_GT(withHdmiVideo, 20);
}

} // namespace
} // namespace pellam::test
