// Every named control of the window lives on its page under its name, once,
// and is of the kind its name says.
#include "gui/app/main_window_fixture.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollBar>

namespace pellam::test {
namespace {

// "Prefix1..N" stands for Prefix1, Prefix2, ... PrefixN (and 0..N from 0).
QStringList expand(const QString& names) {
    static const QRegularExpression range(QStringLiteral("^(.*?)(\\d+)\\.\\.(\\d+)$"));
    QStringList all;
    for (const QString& name : names.split(' ', Qt::SkipEmptyParts)) {
        const QRegularExpressionMatch m = range.match(name);
        if (!m.hasMatch()) {
            all << name;
            continue;
        }
        for (int i = m.captured(2).toInt(); i <= m.captured(3).toInt(); ++i)
            all << m.captured(1) + QString::number(i);
    }
    return all;
}

// The widget class a name's prefix stands for, where the prefix says one.
const char* kindOf(const QString& name) {
    const struct {
        const char* pattern;
        const char* kind;
    } kinds[] = {
        {"^(rbn|RadioButton)", "QRadioButton"}, {"^(ckx|chk|CheckBox)", "QCheckBox"},
        {"^(GroupBox|gbx)", "QGroupBox"},       {"^(led|LEdit_|Edt_|Edit_|edt)", "QLineEdit"},
        {"^(slb|ScrollBar)", "QScrollBar"},     {"^Label", "QLabel"},
    };
    for (const auto& k : kinds)
        if (QRegularExpression(QString::fromLatin1(k.pattern)).match(name).hasMatch())
            return k.kind;
    return nullptr;
}

TEST_F(MainWindowTest, EveryNamedControlIsOnItsPageOnceAndOfItsKind) {
    const struct {
        QWidget* page;
        const char* names;
    } pages[] = {
        {form.TabSheet1, "StringGrid1 ProgressBar1 Label13 Label14 btnWrite btnRead1 btnComp "
                         "btnLoad btnSave chkAutoChksm"},
        {form.TabSheet3,
         "GroupBox1 Label1 Label4 Label5 Label8 Label9 Label10 Label_Week Label_Year Edt_MfgID "
         "Edt_PrdCd Edt_SN ScrollBar_Week ScrollBar_Year Edit_Ver Edit_Rev UpDown1 GroupBox3 "
         "GroupBox4 GroupBox5 GroupBox6 GroupBox7 GroupBox8 GroupBox9 GroupBox10 GroupBox53 "
         "GroupBox54 RadioButton_Analog RadioButton_Digital RadioButton1..4 CheckBox1..6 "
         "ComboBox1 ComboBox2 ScrollBar_Hsize ScrollBar_Vsize Label_Hcm Label_Vcm Label_cm "
         "Label_cm2 ScrollBar_Gamma Label_Gamma CheckBox_STby CheckBox_Susp CheckBox_Active "
         "RadioButton_Mono RadioButton_RGB RadioButton_NonRGB RadioButton_Undef CheckBox_sRGB "
         "CheckBox_Pref CheckBox_GTF"},
        {form.TabSheet4,
         "GroupBox11 LEdit_Rx LEdit_Ry LEdit_Gx LEdit_Gy LEdit_Bx LEdit_By LEdit_Wx LEdit_Wy "
         "GroupBox12 CheckBox_T10..17 CheckBox_T20..27 CheckBox_T37 GroupBox_SdtT1 cbxStdTiming "
         "CheckBox_SDT1 LEdit_Hpxl1 LEdit_Hz1 GroupBox14 RadioButton_SDT11..14"},
        {form.TabSheet5,
         "GroupBox23 RadioButton_Block1..4 Label_Warning1 GroupBox24 Panel1 GroupBox25 LEdit_Pxl "
         "led_b0Timing1..12 CheckBox_Int GroupBox27 rbn_b0Stereo1..7 GroupBox28 rbn_b0AD1..4 "
         "CheckBox_Serrate CheckBox_OnRGB GroupBox18 cbxTimingSelect Panel2 GroupBox29 "
         "RadioButton_DesSN RadioButton_DesASC RadioButton_DesRang RadioButton_DesName "
         "RadioButton_AddColor RadioButton_AddTiming RadioButton_Unused RadioButton_Dummy "
         "RadioButton_ManuDef Panel3 GroupBox31 LEdit_DTMonitor Panel4 GroupBox32 ledLimit1..5 "
         "CheckBox_GTF2 LEdit_2GTF1..5"},
        {form.sheetHDMIVideo,
         "gbxDTV ckxUnderscan ckxBasicAudio ckxYCbCr444 ckxYCbCr422 gbxMisc edtCEA_ver "
         "GroupBox22 edtNativeFormat gbxVideoBlock lbxVideoDefault clxVideoSupport btnVideoAdd "
         "btnVideoDelete gbxVSDB ckxVSDBEnable GroupBox26 edtPhyAddr_1..4 GroupBox30 ckxVSDBExt "
         "ledVSDBLen ckxSupport_AI ckxDC_48bit ckxDC_36bit ckxDC_30bit ckxDC_Y444 ckxDVI_Dual "
         "ledVSDB_MaxTMDSClk ckxLatencyFieldsPresent ledLatency_Video ledLatency_Audio "
         "ckx_I_LatencyFieldsPresent led_I_Latency_Video led_I_Latency_Audio cbxVSDB_CNC0..3 "
         "GroupBox44 cbHDMIVideoPresent_Enable btHDMIVideoPresent_View gbxHDMIVideoPresent "
         "Label15 Label16 Label17 Label18 vledtHVP_4K2KVIC ledtHVP_HDMIVICLen cbHVP_3Dpresent "
         "ledtHVP_3DMultiPresent ledtHVP_HDMI3DLen clxHVP_3DStructure clxHVP_3DMask "
         "vledtHVP_IndividualVIC btHDMIVideoPresent_Save btHDMIVideoPresent_Cancel"},
        {form.sheetAudio,
         "ledAudioNo cbxAudio GroupBox36 RadioButton_AudFom1..15 GroupBox37 CheckBox_SR1..7 "
         "gbxSampleSize CheckBox_SampSize1..3 slbMaxChannel Label26 ledMaxBitRate GroupBox13 "
         "CheckBox_SpeakerEN CheckBox_Speaker0..6 Panel7 Label27 Label28 ScrollBar2"},
        {form.sheetB1ExtendedDB,
         "GroupBox34 CheckBox_B1Extended_En0 GroupBox45 RadioButton_QRSYCC0..1 GroupBox40 "
         "RadioButton_QRS0..1 GroupBox41 RadioButton_PT0..3 GroupBox42 RadioButton_IT0..3 "
         "GroupBox43 RadioButton_CE0..3 GroupBox20 CheckBox_B1Extended_En1 GroupBox38 "
         "CheckBox_Color0..4 GroupBox39 CheckBox_Meta0..3"},
        {form.sheetHDMI2,
         "gbxHF ckxHF_Enable rbnHF_VSDB rbnHF_SCDB ledHF_Len ledHF_Version ledHF_MaxTMDS "
         "ckxHF_SCDC ckxHF_RR ckxHF_CableStatus ckxHF_CCBPCI ckxHF_LTE340Scramble "
         "ckxHF_IndependentView ckxHF_DualView ckxHF_3DOSD cbxHF_MaxFRL ckxHF_UHDVIC "
         "ckxHF_DC48_420 ckxHF_DC36_420 ckxHF_DC30_420 ckxHF_FAPAStart ckxHF_ALLM ckxHF_FVA "
         "ckxHF_CNMVRR ckxHF_CinemaVRR ckxHF_MDelta ckxHF_QMS ckxHF_FAPAEndExt ledHF_VRRMin "
         "ledHF_VRRMax ckxHF_DSC12 ckxHF_DSCNative420 ckxHF_QMSTFRMax ckxHF_QMSTFRMin "
         "ckxHF_DSCAllBpp ckxHF_DSC16bpc ckxHF_DSC12bpc ckxHF_DSC10bpc cbxHF_DSCMaxFRL "
         "cbxHF_DSCMaxSlices ledHF_DSCChunk lblHF_DSCChunk gbxHDR ckxHDR_Enable gbxHDR_EOTF "
         "ckxHDR_SDR ckxHDR_HDR ckxHDR_PQ ckxHDR_HLG ckxHDR_SMType1 gbxHDR_Luminance "
         "ckxHDR_MaxLum ckxHDR_MaxFALL ckxHDR_MinLum ledHDR_MaxLum ledHDR_MaxFALL ledHDR_MinLum "
         "lblHDR_MaxLum lblHDR_MaxFALL lblHDR_MinLum gbxCDB ckxCDB_Enable gbxCDB_Colorimetry "
         "gbxCDB_Second ckxCDB_xvYCC601 ckxCDB_xvYCC709 ckxCDB_sYCC601 ckxCDB_opYCC601 "
         "ckxCDB_opRGB ckxCDB_BT2020cYCC ckxCDB_BT2020YCC ckxCDB_BT2020RGB ckxCDB_MD0..3 "
         "ckxCDB_defaultRGB ckxCDB_sRGB ckxCDB_ICtCp ckxCDB_DCIP3 gbxY420 gbxY420Map clxY420Map "
         "ckxY420Map_All gbxY420VDB clxY420VDB ledY420_VIC btnY420Add btnY420Delete"},
        {form.sheetB1DetailTiming,
         "GroupBox2 ledDetailNo cbxDetail Label29 gbxTimingDescripter ledPixelClock GroupBox16 "
         "ledTiming1..12 ckxInterlaced gbxStereo rbnStereo1..7 GroupBox17 rbnAD1..4 ckxSerrate "
         "ckxOnRGB GroupBox19 cbxTimingSelect_b1"},
        {form.TabSheet2, "GroupBox15 rbnDDC rbnFile rbnCurrent GroupBox21 MemoLog"},
    };
    int checked = 0;
    for (const auto& p : pages) {
        for (const QString& name : expand(QString::fromLatin1(p.names))) {
            const QList<QObject*> found = p.page->findChildren<QObject*>(name);
            ASSERT_EQ(found.size(), 1)
                << p.page->objectName().toStdString() << ": " << name.toStdString();
            if (const char* kind = kindOf(name)) {
                EXPECT_TRUE(found.front()->inherits(kind))
                    << name.toStdString() << " is a " << found.front()->metaObject()->className();
            }
            ++checked;
        }
    }
    EXPECT_GT(checked, 440);

    const QStringList window = expand(
        "PageControl1 TabSheet1 TabSheet3 TabSheet4 TabSheet5 sheetHDMIVideo sheetAudio "
        "sheetB1ExtendedDB sheetHDMI2 sheetB1DetailTiming TabSheet2 MainMenu1 File1 New1 SaveLog N1 Exit1 "
        "Utility1 N128Bytes1 N256Bytes1 N2 EDID_HDMI_SEL EDID_DP_SEL N3 I2CSetting Help1 Memo1 "
        "About1");
    for (const QString& name : window)
        EXPECT_EQ(form.findChildren<QObject*>(name).size(), 1) << name.toStdString();
}

} // namespace
} // namespace pellam::test
