#include "gui/app/main_window.h"

#include "gui/analyser/analysis_page.h"
#include "gui/analyser/capability_dialog.h"
#include "gui/app/about_box.h"
#include "gui/app/app_icon.h"
#include "gui/app/edit_history.h"
#include "gui/base_block/descriptor_page.h"
#include "gui/base_block/timings_page.h"
#include "gui/base_block/vendor_product_page.h"
#include "gui/cea/audio_page.h"
#include "gui/cea/extended_blocks_page.h"
#include "core/cea/extension_block.h"
#include "gui/cea/extension_timings_page.h"
#include "gui/cea/hdmi2_page.h"
#include "gui/cea/video_page.h"
#include "core/ddc/drm_connectors.h"
#include "core/ddc/eeprom_backup.h"
#include "core/ddc/eeprom_workflow.h"
#include "gui/ddc/i2c_settings_dialog.h"
#include "gui/ddc/transfer_controls.h"
#include "gui/ddc/i2c_settings_store.h"
#include "core/edid/debug_log.h"
#include "core/edid/hex.h"
#include "gui/app/hex_grid_widget.h"
#include "gui/ui/committed_edit.h"
#include "gui/ui/editor_page.h"
#include "gui/ui/language.h"
#include "gui/ui/user_config.h"
#include "gui/ui/user_interaction.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QTimer>
#include <QUndoStack>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace pellam {

const QString TForm1::kOpenFilter =
    QStringLiteral("Binary files(*.bin)|*.BIN|Binary files(*.dat)|*.DAT|ASCII files(*.txt)|*.TXT|"
                   "ASCII files(*.ddc)|*.DDC");
const QString TForm1::kSaveFilter =
    QStringLiteral("Binary files(*.bin)|*.BIN|ASCII files(*.txt)|*.TXT");

namespace {

constexpr int kClientWidth = 753;
constexpr int kClientHeight = 522;

QString hexText(Byte value) {
    return QString::fromStdString(hexByte(value));
}

QAction* addMenuItem(QMenu* menu, const char* name, const QString& caption,
                     bool checkable = false) {
    auto* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    action->setCheckable(checkable);
    return action;
}

QAction* addSeparator(QMenu* menu, const char* name) {
    QAction* separator = menu->addSeparator();
    separator->setObjectName(QString::fromLatin1(name));
    return separator;
}

template <typename Page>
Page* addPage(QTabWidget* tabs, Page* page, const QString& caption) {
    tabs->addTab(page, caption);
    return page;
}

} // namespace

TForm1::TForm1(UserInteraction& ui, QWidget* parent, std::unique_ptr<DdcHardware> hardware)
    : QMainWindow(parent)
    , m_ui(ui)
    , m_session(std::move(hardware)) {
    setObjectName(QStringLiteral("TForm1"));
    frmCDF = new TfrmCDF(m_ui, this);
    m_session.ddc().settings() = loadI2cSettingsFromConfig();
    frmI2C = new TfrmI2C(m_session.ddc().settings(), m_ui, this,
                         [this] { return listDrmConnectors(m_session.ddc().sysfsRoot()); });
    createMenus();
    createPages();

    // The session has parsed the HDMI default image and set the menus.
    StringGrid1->writeHeaders();
    StringGrid1->setCellTables(&m_session.gridCells().marks, &m_session.gridCells().states);
    applyModeMenus();
    setWindowIcon(appIcon());
    PageControl1->setCurrentWidget(TabSheet1);

    // The blocks of the image, named by their kinds.
    lblBlocks = new QLabel(this);
    lblBlocks->setObjectName(QStringLiteral("lblBlocks"));
    statusBar()->setObjectName(QStringLiteral("StatusBar1"));
    statusBar()->setSizeGripEnabled(false);
    statusBar()->addWidget(lblBlocks);
    lblBlocks->setText(QString::fromStdString(blockListText(m_session.imageBytes())));

    // The window opens at the size of its pages and may be resized.
    const int menuHeight = menuBar()->sizeHint().height();
    resize(kClientWidth, kClientHeight + menuHeight + statusBar()->sizeHint().height());
    move(100, 50);
    setAcceptDrops(true);

    connect(PageControl1, &QTabWidget::currentChanged, this, &TForm1::pageChosen);

    EditHistory::Hooks hooks;
    hooks.restore = [this](const EditorSnapshot& state) { restoreState(state); };
    hooks.busy = [this] { return m_transfers->running() || m_inPageSwitch; };
    hooks.describe = [this] { return stepName(); };
    m_history = new EditHistory(m_session, std::move(hooks), this);
    connect(m_history, &EditHistory::stateChanged, this, &TForm1::updateTitle);
    connect(m_history->stack(), &QUndoStack::canUndoChanged, Undo1, &QAction::setEnabled);
    connect(m_history->stack(), &QUndoStack::canRedoChanged, Redo1, &QAction::setEnabled);
    connect(m_history->stack(), &QUndoStack::undoTextChanged, Undo1, [this](const QString& text) {
        Undo1->setStatusTip(text.isEmpty() ? QString() : tr("撤销 ") + text);
    });
    connect(m_history->stack(), &QUndoStack::redoTextChanged, Redo1, [this](const QString& text) {
        Redo1->setStatusTip(text.isEmpty() ? QString() : tr("重做 ") + text);
    });
    Undo1->setEnabled(false);
    Redo1->setEnabled(false);
    updateRecentMenu();
    updateTitle();
}

TForm1::~TForm1() {
    // The history goes while the actions it updates are still there.
    delete m_history;
    m_history = nullptr;
    saveI2cSettingsToConfig(m_session.ddc().settings());
}

void TForm1::openTransferPort() {
    m_session.ddc().openPort([this](const UserNotice& notice) {
        const QString text = QString::fromStdString(notice.text);
        if (notice.title.empty() && notice.icon == UserNotice::Icon::None) {
            m_ui.showMessage(this, text);
            return;
        }
        const MessageIcon icon = notice.icon == UserNotice::Icon::Error ? MessageIcon::Error
                                 : notice.icon == UserNotice::Icon::Information
                                     ? MessageIcon::Information
                                     : MessageIcon::None;
        m_ui.showNotice(this, text, QString::fromStdString(notice.title), icon);
    });
}

void TForm1::createMenus() {
    menuBar()->setObjectName(QStringLiteral("MainMenu1"));
    File1 = menuBar()->addMenu(tr("&文件"));
    File1->setObjectName(QStringLiteral("File1"));
    New1 = addMenuItem(File1, "New1", tr("新建"));
    New1->setShortcut(QKeySequence::New);
    Open1 = addMenuItem(File1, "Open1", tr("打开..."));
    Open1->setShortcut(QKeySequence::Open);
    RecentFiles1 = File1->addMenu(tr("最近的文件"));
    RecentFiles1->setObjectName(QStringLiteral("RecentFiles1"));
    Save1 = addMenuItem(File1, "Save1", tr("保存"));
    Save1->setShortcut(QKeySequence::Save);
    SaveAs1 = addMenuItem(File1, "SaveAs1", tr("另存为..."));
    SaveAs1->setShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+S")));
    addSeparator(File1, "N4");
    LoadDisplayEdid = addMenuItem(File1, "LoadDisplayEdid", tr("载入显示器 EDID"));
    SaveLog = addMenuItem(File1, "SaveLog", tr("保存 log"));
    N1 = addSeparator(File1, "N1");
    Exit1 = addMenuItem(File1, "Exit1", tr("退出"));
    Exit1->setShortcut(QKeySequence::Quit);

    Edit1 = menuBar()->addMenu(tr("编辑"));
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Undo1 = addMenuItem(Edit1, "Undo1", tr("撤销"));
    Undo1->setShortcut(QKeySequence::Undo);
    Redo1 = addMenuItem(Edit1, "Redo1", tr("重做"));
    Redo1->setShortcuts({QKeySequence(QStringLiteral("Ctrl+Shift+Z")),
                         QKeySequence(QStringLiteral("Ctrl+Y"))});

    Utility1 = menuBar()->addMenu(tr("配置"));
    Utility1->setObjectName(QStringLiteral("Utility1"));
    N128Bytes1 = addMenuItem(Utility1, "N128Bytes1", tr("128 Bytes"), true);
    N256Bytes1 = addMenuItem(Utility1, "N256Bytes1", tr("256 Bytes"), true);
    // The image's real size, and the blocks after block 1.
    ImageSize1 = addMenuItem(Utility1, "ImageSize1", QString());
    ImageSize1->setEnabled(false);
    AddExtensionBlock1 = addMenuItem(Utility1, "AddExtensionBlock1", tr("添加扩展块"));
    RemoveExtensionBlock1 = addMenuItem(Utility1, "RemoveExtensionBlock1", tr("删除最后的扩展块"));
    N2 = addSeparator(Utility1, "N2");
    EDID_HDMI_SEL = addMenuItem(Utility1, "EDID_HDMI_SEL", QStringLiteral("HDMI"), true);
    EDID_DP_SEL = addMenuItem(Utility1, "EDID_DP_SEL", QStringLiteral("DP"), true);
    N3 = addSeparator(Utility1, "N3");
    I2CSetting = addMenuItem(Utility1, "I2CSetting", tr("I2C 设置"));
    // Named in both languages and each language in its own, so that a user
    // who reads only one of them finds the way back.
    Language1 = Utility1->addMenu(QStringLiteral("语言 / Language"));
    Language1->setObjectName(QStringLiteral("Language1"));
    LanguageChinese =
        addMenuItem(Language1, "LanguageChinese", QStringLiteral("中文 (默认)"), true);
    LanguageEnglish = addMenuItem(Language1, "LanguageEnglish", QStringLiteral("English"), true);
    auto* languages = new QActionGroup(Language1);
    languages->addAction(LanguageChinese);
    languages->addAction(LanguageEnglish);
    (languageInEffect().language == UiLanguage::English ? LanguageEnglish : LanguageChinese)
        ->setChecked(true);

    Help1 = menuBar()->addMenu(tr("帮助"));
    Help1->setObjectName(QStringLiteral("Help1"));
    Memo1 = addMenuItem(Help1, "Memo1", tr("发布说明"));
    About1 = addMenuItem(Help1, "About1", tr("关于"));

    connect(New1, &QAction::triggered, this, &TForm1::New1Click);
    connect(Open1, &QAction::triggered, this, &TForm1::Open1Click);
    connect(Save1, &QAction::triggered, this, &TForm1::Save1Click);
    connect(SaveAs1, &QAction::triggered, this, &TForm1::SaveAs1Click);
    connect(Undo1, &QAction::triggered, this, &TForm1::Undo1Click);
    connect(Redo1, &QAction::triggered, this, &TForm1::Redo1Click);
    connect(LoadDisplayEdid, &QAction::triggered, this, &TForm1::LoadDisplayEdidClick);
    connect(SaveLog, &QAction::triggered, this, &TForm1::SaveLogClick);
    connect(Exit1, &QAction::triggered, this, &TForm1::Exit1Click);
    connect(N128Bytes1, &QAction::triggered, this, &TForm1::N128Bytes1Click);
    connect(N256Bytes1, &QAction::triggered, this, &TForm1::N256Bytes1Click);
    connect(AddExtensionBlock1, &QAction::triggered, this, &TForm1::AddExtensionBlock1Click);
    connect(RemoveExtensionBlock1, &QAction::triggered, this,
            &TForm1::RemoveExtensionBlock1Click);
    connect(EDID_HDMI_SEL, &QAction::triggered, this, &TForm1::EDID_HDMI_SELClick);
    connect(EDID_DP_SEL, &QAction::triggered, this, &TForm1::EDID_DP_SELClick);
    connect(I2CSetting, &QAction::triggered, this, &TForm1::I2CSettingClick);
    connect(Memo1, &QAction::triggered, this, &TForm1::Memo1Click);
    connect(LanguageChinese, &QAction::triggered, this, [this] { languageChosen(false); });
    connect(LanguageEnglish, &QAction::triggered, this, [this] { languageChosen(true); });
    connect(About1, &QAction::triggered, this, &TForm1::About1Click);
}

void TForm1::createPages() {
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    // Ten pages: narrower tab margins keep every tab in view at the default
    // window width.
    PageControl1->setStyleSheet(QStringLiteral(
        "QTabBar::tab { padding: 3px 4px; border: 1px solid palette(mid); border-bottom: none;"
        " background: palette(button); border-top-left-radius: 3px;"
        " border-top-right-radius: 3px; }"
        "QTabBar::tab:selected { background: palette(window); }"
        "QTabBar::tab:!selected { margin-top: 2px; }"));
    setCentralWidget(PageControl1);
    EdidWorkspace& ws = workspace();
    SharedPageState& pageState = m_session.pageState();
    DataBlockCollection& collection = m_session.block1().collection();
    TabSheet1 = addPage(PageControl1, new EditorPage(PageControl1), tr("数据"));
    TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    TabSheet3 = addPage(PageControl1, new VendorProductPage(ws, pageState, m_ui, PageControl1),
                        tr("B0/信息"));
    TabSheet4 =
        addPage(PageControl1, new TimingsPage(ws, pageState, m_ui, PageControl1), QStringLiteral("B0/Timing"));
    TabSheet5 = addPage(PageControl1, new DescriptorPage(ws, pageState, m_ui, PageControl1),
                        tr("B0/Timing详情"));
    sheetHDMIVideo = addPage(PageControl1, new VideoPage(pageState, collection, m_ui, PageControl1),
                             tr("B1/视频"));
    sheetAudio = addPage(PageControl1, new AudioPage(pageState, collection, m_ui, PageControl1),
                         tr("B1/音频"));
    sheetB1ExtendedDB =
        addPage(PageControl1, new ExtendedBlocksPage(pageState, collection, m_ui, PageControl1),
                tr("B1/扩展"));
    sheetHDMI2 = addPage(PageControl1, new Hdmi2Page(pageState, collection, m_ui, PageControl1),
                         QStringLiteral("B1/HDMI 2.x"));
    sheetB1DetailTiming =
        addPage(PageControl1, new ExtensionTimingsPage(pageState, collection, m_ui, PageControl1),
                tr("B1/详细Timing"));
    TabSheet2 = new AnalysisPage(m_session, m_ui, *frmCDF, PageControl1);
    PageControl1->addTab(TabSheet2, tr("验证"));
    MemoLog = TabSheet2->MemoLog;
    createGridPage();
}

void TForm1::createGridPage() {
    StringGrid1 = new HexGridWidget(TabSheet1);
    connect(StringGrid1, &HexGridWidget::keyPressed, this, &TForm1::StringGrid1KeyDown);
    connect(StringGrid1, &HexGridWidget::pointerMoved, this, &TForm1::StringGrid1MouseMove);

    GroupBox_Progress = new QGroupBox(tr("进度"), TabSheet1);
    GroupBox_Progress->setObjectName(QStringLiteral("GroupBox_Progress"));

    ProgressBar1 = new QProgressBar(GroupBox_Progress);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 255);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    Label13 = new QLabel(QStringLiteral("  0%"), GroupBox_Progress);
    Label13->setObjectName(QStringLiteral("Label13"));
    Label13->setMinimumWidth(40);
    Label14 = new QLabel(tr("正在验证..."), GroupBox_Progress);
    Label14->setObjectName(QStringLiteral("Label14"));
    Label14->hide();

    const auto button = [&](const char* name, const QString& caption) {
        auto* b = new QPushButton(caption, GroupBox_Progress);
        b->setObjectName(QString::fromLatin1(name));
        return b;
    };
    btnWrite = button("btnWrite", tr("写EDID"));
    btnRead1 = button("btnRead1", tr("读EDID"));
    btnComp = button("btnComp", tr("载入对比"));
    btnLoad = button("btnLoad", tr("载入"));
    btnSave = button("btnSave", tr("保存"));
    chkAutoChksm = new QCheckBox(tr("自动校验"), GroupBox_Progress);
    chkAutoChksm->setObjectName(QStringLiteral("chkAutoChksm"));
    chkAutoChksm->setChecked(true);
    // Beside the progress, once there is a backup to name (the bar gives
    // it the room).
    lblBackup = new QLabel(GroupBox_Progress);
    lblBackup->setObjectName(QStringLiteral("lblBackup"));
    lblBackup->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* progress = new QHBoxLayout;
    progress->addWidget(ProgressBar1, 1);
    progress->addWidget(Label13);
    progress->addWidget(Label14);
    progress->addWidget(lblBackup);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {btnWrite, btnRead1, btnComp, btnLoad, btnSave})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(chkAutoChksm);
    auto* layout = new QVBoxLayout(GroupBox_Progress);
    layout->setContentsMargins(8, 2, 8, 4);
    layout->setSpacing(4);
    layout->addLayout(progress);
    layout->addLayout(buttons);

    // The grid keeps its columns and grows downwards, showing more rows of
    // a longer image; the transfer group stays under it.
    auto* gridRow = new QHBoxLayout;
    gridRow->addWidget(StringGrid1);
    gridRow->addStretch();
    auto* page = new QVBoxLayout(TabSheet1);
    page->setContentsMargins(40, 0, 25, 4);
    page->setSpacing(2);
    page->addLayout(gridRow, 1);
    page->addWidget(GroupBox_Progress);

    TransferControls::Widgets transferWidgets;
    transferWidgets.group = GroupBox_Progress;
    transferWidgets.progress = ProgressBar1;
    transferWidgets.percent = Label13;
    transferWidgets.status = Label14;
    transferWidgets.backup = lblBackup;
    transferWidgets.write = btnWrite;
    transferWidgets.read = btnRead1;
    transferWidgets.compare = btnComp;
    transferWidgets.chooseConnector = [this] {
        frmI2C->showConnectorList();
        return frmI2C->exec() == QDialog::Accepted;
    };
    m_transfers = new TransferControls(transferWidgets, m_session, m_ui, this);
    connect(m_transfers, &TransferControls::byteRead, this,
            [this](std::size_t offset, Byte value) { StringGrid1->setCellText(offset, hexText(value)); });
    connect(m_transfers, &TransferControls::imageRead, this, [this] {
        m_currentFile.clear();
        afterImageLoaded();
        m_history->record(btnRead1->text());
        updateTitle();
    });
    connect(m_transfers, &TransferControls::gridToBeRendered, this, &TForm1::RenderGrid);
    connect(m_transfers, &TransferControls::differencesFound, this,
            [this](const std::vector<Byte>& readBack, std::size_t count) { showCompareView(readBack, count); });

    connect(btnRead1, &QPushButton::clicked, this, &TForm1::btnRead1Click);
    connect(btnWrite, &QPushButton::clicked, this, &TForm1::btnWriteClick);
    connect(btnComp, &QPushButton::clicked, this, &TForm1::btnCompClick);
    connect(btnLoad, &QPushButton::clicked, this, &TForm1::btnLoadClick);
    connect(btnSave, &QPushButton::clicked, this, &TForm1::btnSaveClick);
    connect(chkAutoChksm, &QCheckBox::clicked, this, &TForm1::chkAutoChksmClick);
}

void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        PageControl1Change();
        TabSheet5->fillTimingCandidates();
        sheetB1DetailTiming->fillTimingCandidates();
        m_history->resetBaseline();
        updateTitle();
    }
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (!m_transfers->mayClose()) {
        event->ignore();
        return;
    }
    if (!m_transfers->running() && !maybeSave()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

namespace {

// The local file of a drag, when it carries exactly one.
QString draggedFile(const QMimeData* data) {
    if (!data || !data->hasUrls() || data->urls().size() != 1 || !data->urls().first().isLocalFile())
        return {};
    return data->urls().first().toLocalFile();
}

} // namespace

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
    if (!draggedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event) {
    const QString path = draggedFile(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    // The questions and messages of the load come once the drop is over.
    QTimer::singleShot(0, this, [this, path] { openFile(path); });
}

void TForm1::commitPageEdits() {
    finishEditing(this);
    if (m_decodedPage)
        m_decodedPage->commitPending();
}

bool TForm1::maybeSave() {
    commitPageEdits();
    m_history->record(stepName());
    if (!m_session.isModified())
        return true;
    switch (m_ui.askToSave(this, tr("保存修改?"))) {
    case UserInteraction::SaveAnswer::Save:
        return save();
    case UserInteraction::SaveAnswer::Discard:
        return true;
    case UserInteraction::SaveAnswer::Cancel:
        break;
    }
    return false;
}

QString TForm1::stepName() const {
    // Named by the page the edits were made on.
    QWidget* page = m_decodedPage ? m_decodedPage : PageControl1->currentWidget();
    return tr("编辑 ") + PageControl1->tabText(PageControl1->indexOf(page));
}

void TForm1::updateTitle() {
    const QString program = QStringLiteral("Pellam v1.4");
    setWindowTitle(m_currentFile.isEmpty()
                       ? program + QStringLiteral("[*]")
                       : QFileInfo(m_currentFile).fileName() + QStringLiteral("[*] - ") + program);
    setWindowFilePath(m_currentFile);
    setWindowModified(m_session.isModified());
}

void TForm1::updateRecentMenu() {
    RecentFiles1->clear();
    const QStringList files = recentFiles();
    for (int i = 0; i < files.size(); ++i) {
        QAction* action = RecentFiles1->addAction(
            QStringLiteral("&%1 %2").arg(i + 1).arg(QFileInfo(files[i]).fileName()));
        action->setObjectName(QStringLiteral("RecentFile%1").arg(i + 1));
        action->setData(files[i]);
        action->setToolTip(files[i]);
        action->setStatusTip(files[i]);
        connect(action, &QAction::triggered, this, [this, path = files[i]] { openFile(path); });
    }
    RecentFiles1->setEnabled(!files.isEmpty());
}

void TForm1::restoreState(const EditorSnapshot& state) {
    StringGrid1->cancelEditing();
    m_session.restore(state, isBlock1Page(PageControl1->currentWidget()));
    applyModeMenus();
    writeGridCells();
    // The page on view shows the state again; block-1 edits it holds are
    // written now when no block-1 page is on view.
    PageControl1Change();
    updateTitle();
}

void TForm1::Undo1Click() {
    finishEditing(this);
    m_history->undo();
}

void TForm1::Redo1Click() {
    finishEditing(this);
    m_history->redo();
}

void TForm1::applyModeMenus() {
    const ModeMenus& menus = m_session.modeMenus();
    N128Bytes1->setChecked(menus.n128Bytes1);
    N256Bytes1->setChecked(menus.n256Bytes1);
    EDID_HDMI_SEL->setChecked(menus.edidHdmiSel);
    EDID_DP_SEL->setChecked(menus.edidDpSel);
    const std::size_t length = m_session.imageLength();
    ImageSize1->setText(tr("大小: %1 字节 (%2 块)").arg(length).arg(length / kBlockSize));
    RemoveExtensionBlock1->setEnabled(m_session.gridLength() > kImageSize);
}

bool TForm1::isBlock1Page(QWidget* page) const {
    return page == sheetHDMIVideo || page == sheetAudio || page == sheetB1ExtendedDB ||
           page == sheetHDMI2 || page == sheetB1DetailTiming;
}

void TForm1::pageChosen() {
    // An edit the tab click finished is a step of its own; what the switch
    // then writes joins it.
    if (m_decodedPage && m_decodedPage != PageControl1->currentWidget()) {
        finishEditing(m_decodedPage);
        m_decodedPage->commitPending();
    }
    m_history->record(stepName());
    PageControl1Change();
    m_history->record(stepName(), true);
}

void TForm1::PageControl1Change() {
    // Hiding the shown tab makes the tab widget show another page and report
    // it; this run acts on that page.
    if (m_inPageSwitch)
        return;
    m_inPageSwitch = true;

    // The page shown until now takes what is still being typed and writes
    // back what it still holds, before the image is touched by the switch.
    if (m_decodedPage && m_decodedPage != PageControl1->currentWidget()) {
        finishEditing(m_decodedPage);
        m_decodedPage->leavePage();
    }

    const bool bytes128 = m_session.modeMenus().n128Bytes1;
    for (QWidget* page : std::initializer_list<QWidget*>{sheetHDMIVideo, sheetAudio,
                                                         sheetB1ExtendedDB, sheetHDMI2,
                                                         sheetB1DetailTiming})
        PageControl1->setTabVisible(PageControl1->indexOf(page), !bytes128);

    if (!m_session.beginPageSwitch(chkAutoChksm->isChecked()))
        m_ui.showMessage(this, QString::fromLatin1(kMsgNoSpaceOfExtendedBlock));

    SharedPageState& state = m_session.pageState();
    QWidget* shown = PageControl1->currentWidget();
    if (shown == TabSheet1) {
        RenderGrid();
    } else if (shown == TabSheet3 || shown == TabSheet4 || shown == TabSheet5) {
        const Byte marker = shown == TabSheet3   ? kMarkerInfoPage
                            : shown == TabSheet4 ? kMarkerTimingPage
                                                 : kMarkerTimingDetailPage;
        if (shown == TabSheet5)
            state.selectedDescriptorNumber = 1;
        state.pageDecodingMarker = marker;
        static_cast<EditorPage*>(shown)->decodePage();
        state.pageDecodingMarker = kMarkerIdle;
    } else if (isBlock1Page(shown)) {
        shown->setVisible(true);
        static_cast<EditorPage*>(shown)->decodePage();
        m_session.block1PageShown();
    } else if (shown == TabSheet2 && !bytes128) {
        // In 256-byte mode the analysis page renders the grid, unseen.
        RenderGrid();
    }
    m_decodedPage = static_cast<EditorPage*>(shown);
    m_inPageSwitch = false;
}

void TForm1::RenderGrid() {
    renderGridState(m_session.gridCells(), m_session.modeMenus(), m_session.collection(),
                    workspace().moreBlocks);
    writeGridCells();
    StringGrid1->viewport()->update();
}

void TForm1::writeGridCells() {
    StringGrid1->setByteCount(m_session.gridLength());
    for (std::size_t offset = 0; offset < m_session.gridLength(); ++offset)
        writeGridCell(offset);
    lblBlocks->setText(QString::fromStdString(blockListText(m_session.imageBytes())));
}

void TForm1::writeGridCell(std::size_t offset) {
    StringGrid1->setCellText(offset, hexText(m_session.byteAt(offset)));
}

void TForm1::AddExtensionBlock1Click() {
    if (!m_session.addExtensionBlock()) {
        m_ui.showMessage(this, tr("The image has the most blocks an EDID can have."));
        return;
    }
    applyModeMenus();
    PageControl1Change();
    writeGridCells();
    m_history->record(AddExtensionBlock1->text());
}

void TForm1::RemoveExtensionBlock1Click() {
    const std::size_t blocks = m_session.gridLength() / kBlockSize;
    if (blocks <= 2) {
        m_ui.showMessage(this, tr("There is no block after block 1 to remove; "
                                  "\"128 Bytes\" hides block 1."));
        return;
    }
    const QString question = tr("Remove block %1 (%2 extension) from the image?")
                                 .arg(blocks - 1)
                                 .arg(QString::fromStdString(extensionKindName(
                                     m_session.byteAt((blocks - 1) * kBlockSize))));
    if (!m_ui.confirm(this, question))
        return;
    m_session.removeLastExtensionBlock();
    applyModeMenus();
    PageControl1Change();
    writeGridCells();
    m_history->record(RemoveExtensionBlock1->text());
}

void TForm1::New1Click() {
    if (!maybeSave())
        return;
    m_session.newImage();
    m_currentFile.clear();
    applyModeMenus();
    PageControl1Change();
    writeGridCells();
    m_history->record(New1->text());
    updateTitle();
}

void TForm1::N128Bytes1Click() {
    m_session.setExtensionMode(ExtensionMode::Bytes128);
    writeGridCell(kExtensionCountOffset);
    applyModeMenus();
    PageControl1Change();
    m_history->record(N128Bytes1->text());
}

void TForm1::N256Bytes1Click() {
    m_session.setExtensionMode(ExtensionMode::Bytes256);
    writeGridCell(kExtensionCountOffset);
    applyModeMenus();
    PageControl1Change();
    m_history->record(N256Bytes1->text());
}

void TForm1::EDID_HDMI_SELClick() {
    m_session.setDisplayPortMode(0);
    applyModeMenus();
    PageControl1Change();
    m_history->record(EDID_HDMI_SEL->text());
}

void TForm1::EDID_DP_SELClick() {
    m_session.setDisplayPortMode(1);
    applyModeMenus();
    PageControl1Change();
    m_history->record(EDID_DP_SEL->text());
}

void TForm1::afterImageLoaded() {
    writeGridCells();
    applyModeMenus();
    PageControl1Change();
}

void TForm1::imageAdopted(const LoadResult& result) {
    afterImageLoaded();
    // What the check of the file found, once the image is on view.
    QStringList notes;
    for (const std::string& note : result.notes)
        notes << QString::fromStdString(note);
    if (!notes.isEmpty())
        m_ui.showMessage(this, notes.join(QLatin1Char('\n')));
}

void TForm1::btnLoadClick() {
    if (!maybeSave())
        return;
    const QString path = m_ui.openFileName(this, kOpenFilter, QStringLiteral("bin"));
    if (!path.isEmpty())
        loadPath(path);
}

void TForm1::Open1Click() {
    btnLoadClick();
}

bool TForm1::openFile(const QString& path) {
    return maybeSave() && loadPath(path);
}

bool TForm1::loadPath(const QString& path) {
    const LoadResult result = m_session.loadFile(path.toStdString(), chkAutoChksm->isChecked());
    if (result.outcome != LoadResult::Outcome::Loaded) {
        m_ui.showMessage(this, QString::fromStdString(result.message));
        // A recent file that is gone leaves the list.
        if (!QFileInfo::exists(path)) {
            removeRecentFile(path);
            updateRecentMenu();
        }
        return false;
    }
    m_currentFile = QFileInfo(path).absoluteFilePath();
    addRecentFile(m_currentFile);
    updateRecentMenu();
    imageAdopted(result);
    m_history->record(btnLoad->text() + QLatin1Char(' ') + QFileInfo(path).fileName());
    updateTitle();
    return true;
}

void TForm1::LoadDisplayEdidClick() {
    if (!maybeSave())
        return;
    // The EDID the kernel read from each connected display: no I2C access.
    std::vector<DrmConnector> displays;
    const std::filesystem::path sysfsRoot = m_session.ddc().sysfsRoot();
    for (DrmConnector& c : listDrmConnectors(sysfsRoot))
        if (!c.edid.empty())
            displays.push_back(std::move(c));
    if (displays.empty()) {
        m_ui.showMessage(this, tr("No display with an EDID was found in %1/class/drm.")
                                   .arg(QString::fromStdString(sysfsRoot.string())));
        return;
    }
    QStringList labels;
    for (const DrmConnector& c : displays)
        labels << QString::fromStdString(connectorLabel(c));
    const int chosen = m_ui.chooseItem(this, tr("载入显示器 EDID"), tr("Display:"), labels);
    if (chosen < 0 || chosen >= static_cast<int>(displays.size()))
        return;
    const LoadResult result = m_session.loadBytes(displays[static_cast<std::size_t>(chosen)].edid,
                                                  chkAutoChksm->isChecked());
    if (result.outcome != LoadResult::Outcome::Loaded) {
        m_ui.showMessage(this, QString::fromStdString(result.message));
        return;
    }
    m_currentFile.clear();
    imageAdopted(result);
    m_history->record(LoadDisplayEdid->text());
    updateTitle();
}

void TForm1::btnSaveClick() {
    saveAs();
}

void TForm1::Save1Click() {
    save();
}

void TForm1::SaveAs1Click() {
    saveAs();
}

bool TForm1::save() {
    // A file of a form the save writes is saved again in that form; any
    // other (a .ddc file, a new image) asks for a name.
    const EdidFileType type = fileTypeFromPath(m_currentFile.toStdString());
    if (m_currentFile.isEmpty() ||
        (type != EdidFileType::RawBinary && type != EdidFileType::ListText))
        return saveAs();
    return saveImage(m_currentFile,
                     type == EdidFileType::ListText ? SaveFilter::Ascii : SaveFilter::Binary);
}

bool TForm1::saveAs() {
    m_lastSaveFilter = kSaveFilter;
    // Pending edits and the checksums are written before the dialog, and
    // stay when it is cancelled.
    commitPageEdits();
    if (!m_session.writePendingBlock1(chkAutoChksm->isChecked()))
        m_ui.showMessage(this, QString::fromLatin1(kMsgNoSpaceOfExtendedBlock));
    writeChecksumCells();
    m_history->record(stepName());
    const auto choice = m_ui.saveFileName(this, m_lastSaveFilter);
    if (!choice)
        return false;
    return saveImage(choice->path,
                     choice->filterIndex == 2 ? SaveFilter::Ascii : SaveFilter::Binary);
}

bool TForm1::saveImage(const QString& chosenName, SaveFilter filter) {
    commitPageEdits();
    if (!m_session.writePendingBlock1(chkAutoChksm->isChecked()))
        m_ui.showMessage(this, QString::fromLatin1(kMsgNoSpaceOfExtendedBlock));
    writeChecksumCells();
    m_history->record(stepName());
    const WriteResult written = m_session.saveFile(chosenName.toStdString(), filter);
    if (!written.ok) {
        m_ui.showMessage(this, QString::fromStdString(written.message));
        return false;
    }
    m_currentFile = QFileInfo(QString::fromStdString(savePath(chosenName.toStdString(), filter)))
                        .absoluteFilePath();
    addRecentFile(m_currentFile);
    updateRecentMenu();
    updateTitle();
    return true;
}

void TForm1::SaveLogClick() {
    const auto choice = m_ui.saveFileName(this, m_lastSaveFilter);
    if (!choice)
        return;
    std::vector<std::string> lines;
    for (const QString& line : TabSheet2->logLines())
        lines.push_back(line.toStdString());
    const WriteResult written = writeLogFile(choice->path.toStdString(), lines);
    if (!written.ok)
        m_ui.showMessage(this, QString::fromStdString(written.message));
}

void TForm1::Exit1Click() {
    close();
}

void TForm1::I2CSettingClick() {
    frmI2C->exec();
}

void TForm1::languageChosen(bool english) {
    const UiLanguage chosen = english ? UiLanguage::English : UiLanguage::Chinese;
    storeLanguage(chosen);
    const LanguageChoice inEffect = languageInEffect();
    if (chosen == inEffect.language)
        return;
    // In both languages: the user may read only the new one.
    QString text = QStringLiteral("重新启动 Pellam 后使用所选语言。\n"
                                  "The chosen language is used when Pellam is started again.");
    if (inEffect.source == LanguageSource::CommandLine ||
        inEffect.source == LanguageSource::Environment)
        text += QStringLiteral("\n\n--lang 和 PELLAM_LANG 优先于此设置。\n"
                               "--lang and PELLAM_LANG take precedence over this setting.");
    m_ui.showMessage(this, text);
}

void TForm1::Memo1Click() {
    TForm3 notes(this);
    notes.exec();
}

void TForm1::About1Click() {
    TAboutForm about(this);
    about.exec();
}

void TForm1::chkAutoChksmClick() {
    if (!chkAutoChksm->isChecked())
        return;
    m_session.applyChecksums(true);
    writeChecksumCells();
    m_history->record(chkAutoChksm->text());
}

void TForm1::writeChecksumCells() {
    for (std::size_t offset = kBlockSize - 1; offset < m_session.gridLength(); offset += kBlockSize)
        writeGridCell(offset);
}

void TForm1::StringGrid1KeyDown(int key) {
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        const int offset = StringGrid1->currentOffset();
        if (offset < 0)
            return;
        const auto commit = m_session.commitCellText(static_cast<std::size_t>(offset),
                                                     StringGrid1->currentCellText().toStdString());
        if (!commit.ok) {
            m_ui.showMessage(this, QString::fromStdString(commit.message));
            return;
        }
        StringGrid1->cancelEditing();
        writeGridCell(static_cast<std::size_t>(offset));
    }
    const bool autoChecksum = chkAutoChksm->isChecked();
    m_session.afterGridKey(autoChecksum);
    if (autoChecksum)
        writeChecksumCells();
    m_history->record(stepName());
}

void TForm1::StringGrid1MouseMove(int x, int y) {
    const GridPosition at = gridPositionAt(x, y);
    debugLog("Row Col %d %d", at.row, at.column);
    if (at.row >= 16 && at.column >= 0 && at.column < 16) {
        // The blocks after block 1 name their structures themselves.
        const std::string text = extensionHintAt(static_cast<std::size_t>(at.row * 16 + at.column),
                                                 m_session.gridCells(), workspace().moreBlocks);
        StringGrid1->setHint(!text.empty(), QString::fromStdString(text));
        return;
    }
    const int type = HintTypeAt(at.row, at.column, m_session.collection());
    debugLog("type %d", type);
    m_hint.hover(type);
    StringGrid1->setHint(
        m_hint.enabled(),
        QString::fromUtf8(m_hint.text().data(), static_cast<int>(m_hint.text().size())));
}

void TForm1::showCompareView(std::span<const Byte> other, std::size_t count) {
    const EdidBytes shown = edidBytes(workspace(), true);
    applyCompareMarks(m_session.gridCells(), shown, other, count);
    StringGrid1->setByteCount(std::max(shown.size(), other.size()));
    for (std::size_t i = 0; i < StringGrid1->byteCount(); ++i) {
        const bool inImage = i < shown.size();
        const bool inOther = i < other.size() && i < count;
        QString text;
        if (inImage && inOther)
            text = QString::fromStdString(compareCellText(shown[i], other[i]));
        else if (inImage)
            text = hexText(shown[i]);
        else if (inOther)
            text = QStringLiteral("--/") + hexText(other[i]);
        StringGrid1->setCellText(i, text);
    }
    StringGrid1->viewport()->update();
}

void TForm1::btnRead1Click() {
    // A second click pauses a running read; a new read replaces the image.
    if (!m_transfers->running() && !maybeSave())
        return;
    m_transfers->read();
}

void TForm1::btnWriteClick() {
    m_transfers->write();
}

void TForm1::btnCompClick() {
    const QString path = m_ui.openFileName(this, kOpenFilter, QStringLiteral("bin"));
    if (path.isEmpty())
        return;
    // The file as read; one that a load would refuse as unreadable (of a
    // type that is no EDID file type, empty, too large) is refused here too,
    // and nothing is compared.
    EdidBytes bytes;
    const LoadResult read = readEdidAsRead(path.toStdString(), bytes);
    if (read.outcome != LoadResult::Outcome::Loaded) {
        m_ui.showMessage(this, QString::fromStdString(read.message));
        return;
    }
    showCompareView(bytes, bytes.size());
}

} // namespace pellam
