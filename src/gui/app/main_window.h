// The main window: ten tab pages, the main menu, and the page switch that
// writes block 1 back, applies automatic checksums and decodes the page shown.
#pragma once

#include "core/session/grid_model.h"
#include "core/session/editor_session.h"

#include <array>
#include <span>

#include <QMainWindow>

class QAction;
class QCheckBox;
class QDragEnterEvent;
class QDropEvent;
class QColor;
class QGroupBox;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTabWidget;

namespace pellam {

class AnalysisPage;
class EditHistory;
class AudioPage;
class DescriptorPage;
class EditorPage;
class ExtendedBlocksPage;
class ExtensionTimingsPage;
class Hdmi2Page;
class HexGridWidget;
class TfrmCDF;
class TfrmI2C;
class TransferControls;
class TimingsPage;
class UserInteraction;
class VendorProductPage;
class VideoPage;

class TForm1 : public QMainWindow {
    Q_OBJECT

public:
    // Loads the I2C settings from the user's configuration; no port is
    // opened until openTransferPort. The transports reach the given hardware
    // (the machine's own by default).
    explicit TForm1(UserInteraction& ui, QWidget* parent = nullptr,
                    std::unique_ptr<DdcHardware> hardware = makeSystemHardware());
    // Saves the I2C settings.
    ~TForm1() override;

    EditorSession& session() { return m_session; }
    EdidWorkspace& workspace() { return m_session.workspace(); }

    // Menus.
    QMenu* File1;
    QAction* New1;
    QAction* Open1;
    QMenu* RecentFiles1;
    QAction* Save1;
    QAction* SaveAs1;
    QAction* LoadDisplayEdid;
    QAction* SaveLog;
    QAction* N1;
    QAction* Exit1;
    QMenu* Edit1;
    QAction* Undo1;
    QAction* Redo1;
    QMenu* Utility1;
    QAction* N128Bytes1;
    QAction* N256Bytes1;
    QAction* ImageSize1; // the image's real size, not a command
    QAction* AddExtensionBlock1;
    QAction* RemoveExtensionBlock1;
    QAction* N2;
    QAction* EDID_HDMI_SEL;
    QAction* EDID_DP_SEL;
    QAction* N3;
    QAction* I2CSetting;
    // The language of the window: stored, in effect from the next start.
    QMenu* Language1;
    QAction* LanguageChinese;
    QAction* LanguageEnglish;
    QMenu* Help1;
    QAction* Memo1;
    QAction* About1;

    // Pages, in tab order.
    QTabWidget* PageControl1;
    EditorPage* TabSheet1;
    VendorProductPage* TabSheet3;
    TimingsPage* TabSheet4;
    DescriptorPage* TabSheet5;
    VideoPage* sheetHDMIVideo;
    AudioPage* sheetAudio;
    ExtendedBlocksPage* sheetB1ExtendedDB;
    Hdmi2Page* sheetHDMI2;
    ExtensionTimingsPage* sheetB1DetailTiming;
    AnalysisPage* TabSheet2;

    // Grid page.
    HexGridWidget* StringGrid1;
    QGroupBox* GroupBox_Progress;
    QProgressBar* ProgressBar1;
    QLabel* Label13;
    QLabel* Label14;
    QPushButton* btnWrite;
    QPushButton* btnRead1;
    QPushButton* btnComp;
    QPushButton* btnLoad;
    QPushButton* btnSave;
    QCheckBox* chkAutoChksm;
    // The backup file of the last write ("Backup: <file name>", the whole
    // path as its tool tip); empty before the first write.
    QLabel* lblBackup;

    // Analysis page: the report log.
    QPlainTextEdit* MemoLog;
    // The status line: the blocks of the image.
    QLabel* lblBlocks;

    // Dialogs created once for the run.
    TfrmCDF* frmCDF;
    TfrmI2C* frmI2C;

    // The open dialog's filter, and the save dialog's as last set.
    static const QString kOpenFilter;
    static const QString kSaveFilter;

    // Undo and redo of every change of the image.
    EditHistory* history() const { return m_history; }
    // The file the image was last loaded from or saved to; empty for a new
    // image or one read from a sink or display.
    QString currentFile() const { return m_currentFile; }
    // Loads the file as 载入 does, after asking to save unsaved edits.
    bool openFile(const QString& path);

public slots:
    void PageControl1Change();
    void New1Click();
    void Open1Click();
    // Saves to the current file in its form, or asks for a name as 另存为.
    void Save1Click();
    void SaveAs1Click();
    void Undo1Click();
    void Redo1Click();
    void LoadDisplayEdidClick();
    void SaveLogClick();
    void Exit1Click();
    void N128Bytes1Click();
    void N256Bytes1Click();
    void AddExtensionBlock1Click();
    // Asks before the last block after block 1 goes.
    void RemoveExtensionBlock1Click();
    void EDID_HDMI_SELClick();
    void EDID_DP_SELClick();
    void I2CSettingClick();
    void languageChosen(bool english);
    void Memo1Click();
    void About1Click();
    void btnLoadClick();
    void btnSaveClick();
    // EEPROM transfers of the transfer group. On a parallel or serial port a
    // second click of the read or write button pauses the transfer.
    void btnRead1Click();
    void btnWriteClick();
    // Compares the image with a file, byte by byte, in the grid.
    void btnCompClick();
    void chkAutoChksmClick();
    void StringGrid1KeyDown(int key);
    void StringGrid1MouseMove(int x, int y);

    // Start-up, once the window is shown: opens the port of the chosen port
    // type for the run and tells the user when it cannot be used.
    void openTransferPort();

    // Redraws the grid from the image and the cell tables.
    void RenderGrid();

protected:
    void showEvent(QShowEvent* event) override;
    // Closing the window during a transfer asks first, then ends the transfer
    // after its current byte or page; unsaved edits are asked about.
    void closeEvent(QCloseEvent* event) override;
    // An EDID file dropped on the window is loaded.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // The tab bar chose a page: the switch, recorded as a step of history.
    void pageChosen();
    // Takes what is being typed and what a page still holds (block-1 edits
    // stay in the collection until written).
    void commitPageEdits();
    // "保存修改?" when the image has unsaved edits: true when the command
    // may go on (saved or discarded), false when it is cancelled.
    bool maybeSave();
    bool save();
    bool saveAs();
    // Writes pending edits and the checksums, then the image to the file.
    bool saveImage(const QString& chosenName, SaveFilter filter);
    bool loadPath(const QString& path);
    void restoreState(const EditorSnapshot& state);
    QString stepName() const;
    void updateTitle();
    void updateRecentMenu();
    void createMenus();
    void createPages();
    void createGridPage();
    // Copies the menu check marks of the workspace into the actions.
    void applyModeMenus();
    void writeGridCell(std::size_t offset);
    // Every cell of the grid, its rows for the image's length, the block list.
    void writeGridCells();
    void writeChecksumCells();
    // A load succeeded: as afterImageLoaded, then what the check found.
    void imageAdopted(const LoadResult& result);
    // A new image was adopted (file or display): grid, menus, page switch.
    void afterImageLoaded();
    bool isBlock1Page(QWidget* page) const;
    // The grid as the compare view of the image and the first `count` bytes
    // of other; a byte only one of them has shows as differing.
    void showCompareView(std::span<const Byte> other, std::size_t count);

    UserInteraction& m_ui;
    EditorSession m_session;
    GridHintState m_hint;
    QString m_lastSaveFilter;            // the log save reuses it; empty before the first EDID save
    EditorPage* m_decodedPage = nullptr; // the page the last switch decoded
    bool m_shown = false;
    bool m_inPageSwitch = false;
    TransferControls* m_transfers = nullptr;
    EditHistory* m_history = nullptr;
    QString m_currentFile;
};

} // namespace pellam
