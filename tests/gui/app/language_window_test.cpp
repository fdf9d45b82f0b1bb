// The window in English, and the menu that chooses the language. By default
// the window keeps its Chinese texts (the other window tests check them).
#include "gui/app/main_window_fixture.h"
#include "gui/ddc/i2c_settings_dialog.h"
#include "gui/ui/language.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>

namespace pellam::test {
namespace {

// Applies a language for the life of a test, Chinese again after it.
class LanguageScope {
public:
    explicit LanguageScope(UiLanguage language) {
        EXPECT_TRUE(applyLanguage({language, LanguageSource::CommandLine}));
    }
    ~LanguageScope() { applyLanguage({}); }
    LanguageScope(const LanguageScope&) = delete;
    LanguageScope& operator=(const LanguageScope&) = delete;
};

// The window built with English applied.
class EnglishWindowTest : public ::testing::Test {
protected:
    void SetUp() override { form.show(); }

    LanguageScope english{UiLanguage::English};
    RecordingInteraction ui;
    TForm1 form{ui, nullptr, std::unique_ptr<DdcHardware>(new SimulatedHardware)};
};

TEST_F(EnglishWindowTest, MenusPagesAndControlsAreEnglish) {
    EXPECT_EQ(form.File1->title(), "&File");
    EXPECT_EQ(form.Utility1->title(), "Configuration");
    EXPECT_EQ(form.I2CSetting->text(), "I2C Settings");
    EXPECT_EQ(form.chkAutoChksm->text(), "Auto checksum");
    EXPECT_EQ(form.btnRead1->text(), "Read EDID");
    QStringList tabs;
    for (int i = 0; i < form.PageControl1->count(); ++i)
        tabs << form.PageControl1->tabText(i);
    EXPECT_EQ(tabs,
              QStringList({"Data", "B0/Info", "B0/Timing", "B0/Descriptors", "B1/Video", "B1/Audio",
                           "B1/Extended", "B1/HDMI 2.x", "B1/Detailed Timing", "Analysis"}));
    EXPECT_EQ(form.sheetAudio->findChild<QGroupBox*>("GroupBox13")->title(), "Speaker Allocation");
    EXPECT_EQ(form.sheetHDMIVideo->findChild<QGroupBox*>("gbxVSDB")->title(),
              "Vendor-Specific Data Block");
    EXPECT_EQ(form.sheetB1DetailTiming->findChild<QLabel*>("lblDetailNo")->text(),
              "Detailed Timing");
    EXPECT_TRUE(form.LanguageEnglish->isChecked());
    EXPECT_FALSE(form.LanguageChinese->isChecked());
}

// Captions of the groups, buttons and labels of a page and their hints, as
// the page shows them once decoded.
void expectNoChineseCaption(QWidget* page) {
    static const QRegularExpression chinese(QStringLiteral("[\\x{4e00}-\\x{9fff}]"));
    for (QWidget* w : page->findChildren<QWidget*>()) {
        QString caption;
        if (auto* group = qobject_cast<QGroupBox*>(w))
            caption = group->title();
        else if (auto* button = qobject_cast<QAbstractButton*>(w))
            caption = button->text();
        else if (auto* label = qobject_cast<QLabel*>(w))
            caption = label->text();
        caption += w->toolTip();
        EXPECT_FALSE(chinese.match(caption).hasMatch())
            << page->objectName().toStdString() << "/" << w->objectName().toStdString() << ": "
            << caption.toStdString();
    }
}

TEST_F(EnglishWindowTest, NoChineseCaptionIsLeftOnAnyPage) {
    for (int i = 0; i < form.PageControl1->count(); ++i) {
        form.PageControl1->setCurrentIndex(i);
        expectNoChineseCaption(form.PageControl1->widget(i));
    }
    form.N128Bytes1->trigger(); // block 0 in its other captions
    form.EDID_DP_SEL->trigger();
    for (int i = 0; i < 4; ++i) {
        form.PageControl1->setCurrentIndex(i);
        expectNoChineseCaption(form.PageControl1->widget(i));
    }
    for (QDialog* dialog : std::initializer_list<QDialog*>{form.frmI2C, form.frmCDF}) {
        expectNoChineseCaption(dialog);
        EXPECT_FALSE(dialog->windowTitle().isEmpty());
    }
    EXPECT_EQ(form.frmI2C->windowTitle(), "I2C Settings");
    EXPECT_EQ(form.frmCDF->windowTitle(), "Capability Declaration");
    static const QRegularExpression chinese(QStringLiteral("[\\x{4e00}-\\x{9fff}]"));
    for (QAction* action : form.findChildren<QAction*>()) {
        if (action == form.LanguageChinese || action->menu() == form.Language1)
            continue; // the language menu names each language in its own
        EXPECT_FALSE(chinese.match(action->text()).hasMatch()) << action->text().toStdString();
    }
}

TEST_F(MainWindowTest, TheLanguageMenuStoresTheChoiceAndAsksForARestart) {
    EXPECT_EQ(form.Language1->title(), "语言 / Language");
    EXPECT_TRUE(form.LanguageChinese->isChecked());
    EXPECT_EQ(form.LanguageChinese->text(), "中文 (默认)");

    form.LanguageEnglish->trigger();
    EXPECT_TRUE(form.LanguageEnglish->isChecked());
    EXPECT_FALSE(form.LanguageChinese->isChecked());
    EXPECT_EQ(storedLanguage(), "en");
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_TRUE(ui.messages.last().contains("started again"));
    // The texts stay as they are until the restart.
    EXPECT_EQ(form.File1->title(), "&文件");

    // Back to the language in effect: stored, nothing to restart for.
    form.LanguageChinese->trigger();
    EXPECT_EQ(storedLanguage(), "zh");
    EXPECT_EQ(ui.messages.size(), 1);
}

TEST_F(EnglishWindowTest, AnOverrideInEffectIsNamedWhenAnotherLanguageIsChosen) {
    form.LanguageChinese->trigger();
    EXPECT_EQ(storedLanguage(), "zh");
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_TRUE(ui.messages.last().contains("PELLAM_LANG"));
}

} // namespace
} // namespace pellam::test
