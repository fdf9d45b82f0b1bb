#include "gui/ddc/transfer_controls.h"

#include "core/ddc/drm_connectors.h"
#include "core/ddc/eeprom_backup.h"
#include "core/ddc/eeprom_workflow.h"
#include "gui/ui/user_interaction.h"

#include <algorithm>

#include <QCoreApplication>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QProgressBar>
#include <QPushButton>

namespace pellam {

// The transfer group while a transfer runs: progress after each byte or
// block, then the window's pending events, so that a second click (the
// pause) is seen; the pause flag is tested before the next byte.
class TransferControls::View final : public TransferObserver {
public:
    // showBytes: each byte read is shown in its grid cell as it arrives.
    View(TransferControls& controls, bool showBytes)
        : m_controls(controls)
        , m_showBytes(showBytes) {}

    void phaseLength(TransferPhase, std::size_t length) override {
        m_controls.setProgressLength(length);
    }

    void phaseStarted(TransferPhase phase) override {
        m_done = 0;
        if (phase != TransferPhase::Verify)
            return;
        m_controls.showStatus(tr("Verifying..."), Qt::blue);
        QCoreApplication::processEvents();
    }

    void stepDone(TransferPhase phase, std::size_t address, std::span<const Byte> bytes) override {
        if (phase == TransferPhase::Read && m_showBytes)
            for (std::size_t k = 0; k < bytes.size(); ++k)
                emit m_controls.byteRead(address + k, bytes[k]);
        // Reads and the byte write move up the addresses; the fast write's
        // pages are counted.
        m_done = phase == TransferPhase::Write ? m_done + bytes.size() : address + bytes.size();
        m_controls.showProgress(m_done);
        QCoreApplication::processEvents();
    }

    bool stopRequested() override { return m_controls.m_pauseFlag; }

    void verifyFailed(const VerifyMismatch&) override {
        m_controls.showStatus(tr("Fail!"), Qt::red);
    }

private:
    TransferControls& m_controls;
    bool m_showBytes;
    std::size_t m_done = 0;
};

TransferControls::TransferControls(const Widgets& widgets, EditorSession& session,
                                   UserInteraction& ui, QWidget* window)
    : QObject(window)
    , m_w(widgets)
    , m_session(session)
    , m_ui(ui)
    , m_window(window) {}

TransferControls::~TransferControls() = default;

bool TransferControls::running() const {
    return m_running != Running::None;
}

void TransferControls::requestStop() {
    if (running())
        m_pauseFlag = true;
}

bool TransferControls::mayClose() {
    if (!running())
        return true;
    const QString question =
        m_running == Running::Write
            ? tr("A write to the sink's EEPROM is running. Closing stops it after the "
                 "current byte or page and leaves the EEPROM holding part of the "
                 "image; the backup of its previous content is named then. Stop the "
                 "write and close?")
            : tr("A read of the sink's EEPROM is running. Stop it and close?");
    if (!m_ui.confirm(m_window, question))
        return false;
    requestStop();
    return true;
}

void TransferControls::setProgressLength(std::size_t length) {
    m_w.progress->setRange(0, static_cast<int>(std::max<std::size_t>(length, 1)));
    m_w.progress->setValue(0);
}

void TransferControls::showProgress(std::size_t done) {
    const auto total = static_cast<std::size_t>(m_w.progress->maximum());
    m_w.progress->setValue(static_cast<int>(std::min(done, total)));
    m_w.percent->setText(QString::fromStdString(progressPercentText(done, total)));
}

bool TransferControls::connectorChosen() {
    const I2cSettings& settings = m_session.ddc().settings();
    if (settings.portType != kPortDdc || !settings.ddcConnector.empty())
        return true;
    const std::vector<DrmConnector> connectors = listDrmConnectors(m_session.ddc().sysfsRoot());
    if (std::none_of(connectors.begin(), connectors.end(),
                     [](const DrmConnector& c) { return c.hasBus(); })) {
        m_ui.showMessage(m_window, tr("This computer has no display connector with a DDC bus of "
                                      "its own: the DDC port type cannot be used here. Choose "
                                      "another port type under \"配置 > I2C 设置\"."));
        return false;
    }
    if (!m_w.chooseConnector || !m_w.chooseConnector())
        return false;
    return !m_session.ddc().settings().ddcConnector.empty();
}

void TransferControls::showStatus(const QString& text, const QColor& colour) {
    m_w.status->setText(text);
    QPalette palette = m_w.status->palette();
    palette.setColor(QPalette::WindowText, colour);
    m_w.status->setPalette(palette);
    m_w.status->show();
}

void TransferControls::showBackup(const QString& path) {
    if (path.isEmpty()) {
        m_w.backup->clear();
        m_w.backup->setToolTip({});
        return;
    }
    m_w.backup->setText(tr("Backup: ") + QFileInfo(path).fileName());
    m_w.backup->setToolTip(tr("The sink's content before the last write: ") + path);
    // The bar makes room at once, not at the next pass of the event loop.
    m_w.group->layout()->activate();
}

void TransferControls::setCaption(QPushButton* button, const QString& text,
                                  const QColor& colour) {
    button->setText(text);
    QPalette palette = button->palette();
    palette.setColor(QPalette::ButtonText, colour);
    button->setPalette(palette);
}

bool TransferControls::pausedOrBusy(Running kind, QPushButton* own, const QString& caption) {
    if (m_running == kind) {
        // The second click on a running transfer's button pauses it.
        m_pauseFlag = true;
        setCaption(own, caption, Qt::black);
    }
    return running();
}

bool TransferControls::start(Running kind, QPushButton* own, OpenTransfer& open) {
    if (!open.ready()) {
        m_ui.showMessage(m_window, QString::fromStdString(open.problem()));
        return false;
    }
    m_running = kind;
    m_pauseFlag = false;
    for (QPushButton* b : {m_w.write, m_w.read, m_w.compare})
        if (b != own)
            b->setEnabled(false);
    // A port's byte loop can be paused; the USB adapter's and the DDC bus's
    // transfers run to their end with the button disabled.
    if (open.pausable()) {
        setCaption(own, tr("Pause"), Qt::red);
        m_w.percent->setText(QStringLiteral("0%"));
    } else {
        own->setEnabled(false);
    }
    m_w.status->hide();
    return true;
}

void TransferControls::end() {
    m_running = Running::None;
    for (QPushButton* b : {m_w.write, m_w.read, m_w.compare})
        b->setEnabled(true);
}

void TransferControls::read() {
    if (pausedOrBusy(Running::Read, m_w.read, tr("Read DDC")))
        return;
    if (!connectorChosen())
        return;
    OpenTransfer open(m_session.ddc());
    if (!start(Running::Read, m_w.read, open))
        return;
    const bool toggles = open.pausable();
    View view(*this, toggles);
    const EepromReadResult result = readEeprom(open.transfer(), view);
    open.close();
    end();
    if (toggles)
        setCaption(m_w.read, tr("Read DDC"), Qt::black);
    // The bar and its percentage back at 0 together.
    showProgress(0);

    using Status = EepromReadResult::Status;
    if (result.status == Status::NoAnswer || result.status == Status::NoContent) {
        // The image stays as it was; cells that showed bytes as they arrived
        // show the image again.
        if (result.count > 0)
            emit gridToBeRendered();
        m_ui.showMessage(m_window, QString::fromStdString(result.message) +
                                       tr("\nThe image was not changed."));
        return;
    }
    // A complete read, or one the user paused: the bytes read so far.
    m_session.adoptEepromBytes(result.bytes, result.count, result.status == Status::Complete);
    emit imageRead();
    if (!result.note.empty())
        m_ui.showMessage(m_window, QString::fromStdString(result.note));
}

void TransferControls::write() {
    if (pausedOrBusy(Running::Write, m_w.write, tr("Write DDC")))
        return;
    // The bytes of the moment the write starts are written and verified,
    // after the sink's own content is saved; an image the EEPROM cannot
    // hold is refused before the sink is touched.
    const EdidBytes image = m_session.imageBytes();
    if (const std::string problem =
            capacityProblem(m_session.ddc().settings().eepromKind(), image.size());
        !problem.empty()) {
        m_ui.showMessage(m_window, QString::fromStdString(problem));
        return;
    }
    if (!connectorChosen())
        return;
    OpenTransfer open(m_session.ddc());
    if (!start(Running::Write, m_w.write, open))
        return;
    const bool toggles = open.pausable();
    showBackup({});
    View view(*this, false);
    WriteTransactionOptions options;
    options.backupDirectory = defaultBackupDirectory();
    options.confirmOverwrite = [this](const std::string& question) {
        return m_ui.confirm(m_window, QString::fromStdString(question));
    };
    options.confirmImage = options.confirmOverwrite;
    const EepromWriteResult result = writeEepromTransaction(open.transfer(), image, view, options);
    open.close();
    end();
    if (toggles) {
        setCaption(m_w.write, tr("Write DDC"), Qt::black);
        showProgress(0);
    }
    showBackup(QString::fromStdString(result.backupPath));
    if (!result.backupNote.empty())
        m_w.backup->setToolTip(m_w.backup->toolTip() + QStringLiteral("\n") +
                               QString::fromStdString(result.backupNote));

    using Status = EepromWriteResult::Status;
    switch (result.status) {
    case Status::Pass:
        showStatus(tr("Pass!"), Qt::darkGreen);
        break;
    case Status::Stopped:
        // A paused verify judged nothing; a stopped write says what it left
        // and where the previous content is.
        if (result.endedIn == TransferPhase::Verify)
            m_w.status->hide();
        else if (result.written > 0)
            m_ui.showMessage(m_window, QString::fromStdString(result.message));
        break;
    case Status::Refused:
    case Status::NotBackedUp:
        // Nothing was written: there is nothing to judge.
        m_ui.showMessage(m_window, QString::fromStdString(result.message));
        break;
    case Status::Fail:
    case Status::NoAnswer:
        showStatus(tr("Fail!"), Qt::red);
        QString message = QString::fromStdString(result.message);
        if (result.differences > 0) {
            emit differencesFound(result.readBack, result.verified);
            message += tr("\nThe grid shows each differing byte as written/read back.");
        }
        m_ui.showMessage(m_window, message);
        break;
    }
}

} // namespace pellam
