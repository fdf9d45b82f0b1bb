// B0/信息 and B0/Timing decoding every corpus file, and edits through the
// real controls of B0/信息.
#include "gui/app/main_window_fixture.h"
#include "core/base_block/vendor_product.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QToolButton>

namespace pellam::test {
namespace {

// Showing the pages changes no byte of any real EDID.
TEST(Block0PagesCorpus, DecodingChangesNoByte) {
    RecordingInteraction ui;
    EdidWorkspace ws;
    SharedPageState state;
    VendorProductPage info(ws, state, ui);
    TimingsPage timings(ws, state, ui);
    for (const auto& path : corpusFiles()) {
        const EdidImage original = imageFromBytes(readFile(path));
        for (Byte dp : {Byte{0}, Byte{1}}) {
            SCOPED_TRACE(path.filename().string() + (dp ? " DP" : " HDMI"));
            ws.image = original;
            ws.displayPortMode = dp;
            const EdidImage expected = original;

            info.decodePage();
            timings.decodePage();
            ASSERT_EQ(describeDifferences(expected, ws.image), "");
            info.decodePage();
            timings.decodePage();
            ASSERT_EQ(describeDifferences(expected, ws.image), "");
            EXPECT_EQ(state.pageDecodingMarker, kMarkerIdle);
            EXPECT_EQ(info.Edt_MfgID->text().toStdString(), manufacturerIdText(original));
            EXPECT_EQ(ws.serialNumberText, std::to_string(serialNumber(original)));
        }
    }
    EXPECT_TRUE(ui.messages.isEmpty()) << ui.messages.join('\n').toStdString();
}

class VendorProductPageTest : public MainWindowTest {
protected:
    VendorProductPage& page() { return *form.TabSheet3; }

    // Selects the edit's text and types over it, one key at a time.
    void typeInto(QLineEdit* edit, const QString& text) {
        edit->setFocus();
        edit->selectAll();
        if (text.isEmpty())
            QTest::keyClick(edit, Qt::Key_Delete);
        else
            QTest::keyClicks(edit, text);
    }

    void loadAndShow(const EdidImage& edid) {
        load(edid);
        showPage(form.TabSheet3);
    }
};

EdidImage displayPortImage() {
    EdidImage image = displayPortDefaultImage();
    image[20] = 0xA5; // 8 bits, DisplayPort
    return image;
}

TEST_F(VendorProductPageTest, ShowingThePageChangesNothingAndWeekZeroIsNotSpecified) {
    EdidImage edid = hdmiDefaultImage();
    edid[16] = 54;
    edid[17] = 255;
    edid[10] = 0x2B;
    edid[11] = 0x1A;
    edid[23] = 120;
    // The header check of a load refuses a damaged header; damage it afterwards.
    load(edid);
    image()[0] = 0x12;
    showPage(form.TabSheet3);
    EXPECT_EQ(image()[0], 0x12) << "the grid's edit stays";
    EXPECT_EQ(image()[16], 54);
    EXPECT_EQ(page().Label_Week->text(), "54");
    EXPECT_EQ(page().Label_Year->text(), "2245");
    EXPECT_EQ(page().Edt_PrdCd->text(), "1A2B");
    EXPECT_EQ(page().Label_Gamma->text(), "2.20");
    EXPECT_EQ(page().Label5->text(), "Mfg. Year");
    EXPECT_EQ(page().GroupBox7->title(), "Image Size");
    EXPECT_EQ(page().CheckBox_GTF->text(), "Default GTF");
    EXPECT_EQ(page().Label_Hcm->text(), QString::number(edid[21]));

    edid[16] = 0;
    load(edid);
    showPage(form.TabSheet3);
    EXPECT_EQ(image()[16], 0);
    EXPECT_EQ(page().Label_Week->text(), "not specified");
}

TEST_F(VendorProductPageTest, DisplayPortModeShowsModelYearAspectRatioAndInterfaceLists) {
    EdidImage edid = displayPortImage();
    edid[16] = 255;
    edid[21] = 79;
    edid[22] = 0;
    edid[24] = 0x80; // standby
    loadAndShow(edid);
    EXPECT_EQ(image()[16], 255);
    EXPECT_FALSE(page().ScrollBar_Week->isEnabled());
    EXPECT_FALSE(page().Label4->isEnabled());
    EXPECT_EQ(page().Label5->text(), "Model Year");
    EXPECT_EQ(page().GroupBox7->title(), "Aspect Ratio");
    EXPECT_EQ(page().Label9->text(), "AR(Landcape)");
    EXPECT_EQ(page().Label_Hcm->text(), "1.78");
    EXPECT_EQ(page().Label_Vcm->text(), "Not Def.");
    EXPECT_FALSE(page().Label10->isEnabled());
    EXPECT_FALSE(page().Label_cm->isVisible());
    EXPECT_EQ(page().ComboBox1->currentText(), "010: 8 bits color");
    EXPECT_EQ(page().ComboBox2->currentText(), "0101: DP");
    EXPECT_TRUE(page().GroupBox53->isVisible());
    EXPECT_FALSE(page().GroupBox5->isVisible());
    EXPECT_FALSE(page().CheckBox1->isVisible());
    EXPECT_EQ(page().GroupBox9->title(), "Supported Color Format");
    EXPECT_EQ(page().RadioButton_Undef->text(), "RGB444_YUV444_YUV422");
    EXPECT_EQ(page().CheckBox_GTF->text(), "Cont. Freq");

    // Moving the vertical bar off 0 turns the ratio back into a size.
    page().ScrollBar_Vsize->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(image()[22], 1);
    EXPECT_EQ(page().GroupBox7->title(), "Image Size");
    EXPECT_EQ(page().Label_Hcm->text(), "79");
    EXPECT_TRUE(page().Label_cm->isVisible());

    // Choosing an interface writes bits 3-0 and keeps the colour depth.
    page().ComboBox2->setFocus();
    QTest::keyClick(page().ComboBox2, Qt::Key_Up);
    EXPECT_EQ(page().ComboBox2->currentIndex(), 4);
    EXPECT_EQ(image()[20], 0xA4);
    EXPECT_TRUE(ui.messages.isEmpty());
}

// A field's text is taken when the edit is finished, not on each key; a text
// the field cannot hold is marked while typed, refused once when finished
// (its message, nothing written) and the stored value is shown again.
TEST_F(VendorProductPageTest, TypedFieldsAreTakenWhenFinishedOrRefusedWhole) {
    loadAndShow(hdmiDefaultImage());
    struct Case {
        QLineEdit* edit;
        QString typed;
        std::vector<std::pair<std::size_t, Byte>> written; // empty: refused
        QString message;
    };
    const Case cases[] = {
        {page().Edt_MfgID, "del", {{8, 0x10}, {9, 0xAC}}, ""},
        {page().Edt_MfgID, "d1l", {}, "Should be 3 letters A ~ Z"},
        {page().Edt_PrdCd, "8A0B", {{10, 0x0B}, {11, 0x8A}}, ""},
        {page().Edt_PrdCd, "12x4", {}, "Should be 4 hexadecimal digits 0 ~ F"},
        {page().Edt_SN, "4294967295", {{12, 0xFF}, {15, 0xFF}}, ""},
        {page().Edt_SN, "4294967297", {}, "Should be 0 ~ 4294967295"},
        {page().Edt_SN, "", {}, "Should be 0 ~ 4294967295"},
        {page().Edit_Rev, "4", {{19, 4}}, ""},
        {page().Edit_Rev, "x", {}, "'x' is not a valid integer value"},
        {page().Edit_Rev, "300", {}, "Should be 0 ~ 255"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        ui.messages.clear();
        const EdidImage before = image();
        const QString shown = c.edit->text();
        typeInto(c.edit, c.typed);
        EXPECT_EQ(image(), before) << "nothing is written while typing";
        if (!c.message.isEmpty()) {
            EXPECT_EQ(c.edit->toolTip(), c.message) << "the mark while typing";
        }
        pressKey(Qt::Key_Return);
        if (c.written.empty()) {
            EXPECT_EQ(ui.messages, QStringList{c.message});
            EXPECT_EQ(image(), before);
            EXPECT_EQ(c.edit->text(), shown) << "the stored value is shown again";
            continue;
        }
        EXPECT_TRUE(ui.messages.isEmpty()) << ui.messages.join('|').toStdString();
        for (const auto& [offset, value] : c.written)
            EXPECT_EQ(image()[offset], value) << offset;
    }
    EXPECT_EQ(page().Edt_MfgID->text(), "DEL");
}

TEST_F(VendorProductPageTest, SerialNumberStepsWithinItsLimits) {
    loadAndShow(hdmiDefaultImage());
    typeInto(page().Edt_SN, "1");
    pressKey(Qt::Key_Return);
    EXPECT_EQ(ws().serialNumberText, "1");
    page().UpDown1->downButton->click();
    EXPECT_EQ(image()[12], 0);
    EXPECT_EQ(page().Edt_SN->text(), "0");
    page().UpDown1->downButton->click();
    EXPECT_EQ(image()[12], 0);

    typeInto(page().Edt_SN, "4294967295");
    page().UpDown1->upButton->click();
    EXPECT_EQ(serialNumber(image()), 0xFFFFFFFFu) << "the click finished the edit first";
    EXPECT_EQ(page().Edt_SN->text(), "4294967295");
    page().UpDown1->setPosition(32767);
    page().UpDown1->downButton->click();
    EXPECT_EQ(page().UpDown1->position(), 0);
    EXPECT_EQ(serialNumber(image()), 0xFFFFFFFEu);
}

TEST_F(VendorProductPageTest, ScrollBarsAndBoxesWriteTheirFieldsOnly) {
    EdidImage edid = hdmiDefaultImage();
    edid[20] = 0x80;
    edid[24] = 0x00;
    loadAndShow(edid);
    page().ScrollBar_Week->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(image()[16], edid[16] + 1);
    EXPECT_EQ(page().Label_Week->text(), QString::number(edid[16] + 1));
    page().ScrollBar_Year->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(image()[17], edid[17] - 1);
    page().ScrollBar_Gamma->setValue(130);
    EXPECT_EQ(image()[23], 130);
    EXPECT_EQ(page().Label_Gamma->text(), "2.30");

    EXPECT_TRUE(page().CheckBox1->isEnabled());
    page().CheckBox1->click();
    EXPECT_EQ(image()[20], 0x81);
    page().RadioButton_Analog->click();
    EXPECT_FALSE(page().CheckBox1->isEnabled());
    EXPECT_TRUE(page().CheckBox3->isEnabled());
    page().CheckBox3->click();
    page().RadioButton3->click();
    EXPECT_EQ(image()[20], 0x48);

    page().CheckBox_Susp->click();
    EXPECT_EQ(image()[24], 0x42) << "a feature write sets the preferred-timing bit";
    page().RadioButton_Undef->click();
    EXPECT_EQ(image()[24], 0x5A);
    EXPECT_TRUE(ui.messages.isEmpty());
}

} // namespace
} // namespace pellam::test
