// A shown main window driven through its slots and widgets, with dialogs
// answered by a recorder, on simulated DDC hardware (never a real device).
#pragma once

#include "gui/analyser/analysis_page.h"
#include "gui/analyser/capability_dialog.h"
#include "gui/app/main_window.h"
#include "gui/base_block/descriptor_page.h"
#include "gui/base_block/timings_page.h"
#include "gui/base_block/vendor_product_page.h"
#include "gui/cea/audio_page.h"
#include "gui/cea/extended_blocks_page.h"
#include "gui/cea/extension_timings_page.h"
#include "gui/cea/hdmi2_page.h"
#include "gui/cea/video_page.h"
#include "core/edid/edid_file.h"
#include "core/edid/hex.h"
#include "gui/app/hex_grid_widget.h"
#include "support/recording_interaction.h"
#include "support/test_support.h"
#include "gui/ui/editor_page.h"

#include <QApplication>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace pellam::test {

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        form.show();
        QApplication::setActiveWindow(&form);
    }

    EdidImage& image() { return form.session().image(); }
    EdidWorkspace& ws() { return form.workspace(); }
    EditorSession& session() { return form.session(); }
    GridCells& cells() { return form.session().gridCells(); }

    void showPage(QWidget* page) { form.PageControl1->setCurrentWidget(page); }

    // Loads the image through the Load button from a file of the given form.
    // The file gets the right checksums, so that the load has nothing to say
    // about them.
    void load(EdidImage image, std::size_t length = 256, const char* name = "in.bin") {
        ApplyAutoChecksums(image, true);
        const std::string path = dir.file(name);
        const std::string contents = fileTypeFromPath(path) == EdidFileType::ListText
                                         ? formatListText(std::span(image).first(length))
                                         : formatRawBinary(std::span(image).first(length));
        writeFile(path, contents);
        ui.openAnswers.push_back(QString::fromStdString(path));
        form.btnLoadClick();
    }

    QString cell(std::size_t offset) const { return form.StringGrid1->cellText(offset); }

    // Text of every visible tab, in order.
    QStringList visibleTabs() const {
        QStringList tabs;
        for (int i = 0; i < form.PageControl1->count(); ++i)
            if (form.PageControl1->isTabVisible(i))
                tabs << form.PageControl1->tabText(i);
        return tabs;
    }

    // Types into the grid as a user would: the first key starts editing.
    void typeIntoCell(std::size_t offset, const QString& text) {
        form.StringGrid1->setCurrentOffset(offset);
        form.StringGrid1->setFocus();
        for (QChar c : text)
            QTest::keyClick(focused(), c.toLatin1());
    }
    void pressKey(Qt::Key key) { QTest::keyClick(focused(), key); }
    // Types a value over an edit's text, as a user does, and finishes the
    // edit with Enter.
    static void enter(QLineEdit* edit, const QString& text) {
        edit->setFocus();
        edit->selectAll();
        if (text.isEmpty())
            QTest::keyClick(edit, Qt::Key_Delete);
        else
            QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
    }
    QWidget* focused() {
        QWidget* widget = QApplication::focusWidget();
        return widget ? widget : form.StringGrid1;
    }

    RecordingInteraction ui;
    SimulatedHardware* sim = new SimulatedHardware; // owned by the form
    TForm1 form{ui, nullptr, std::unique_ptr<DdcHardware>(sim)};
    TempDir dir;
};

} // namespace pellam::test
