#include "gui/ddc/transfer_controls.h"

#include "core/ddc/eeprom_backup.h"
#include "core/ddc/eeprom_workflow.h"
#include "gui/ui/user_interaction.h"

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

    void phaseStarted(TransferPhase phase) override {
        if (phase != TransferPhase::Verify)
            return;
        m_controls.showStatus(QStringLiteral("Verifying..."), Qt::blue);
        QCoreApplication::processEvents();
    }

    void stepDone(TransferPhase phase, std::size_t address, std::span<const Byte> bytes) override {
        if (phase == TransferPhase::Read && m_showBytes)
            for (std::size_t k = 0; k < bytes.size(); ++k)
                emit m_controls.byteRead(address + k, bytes[k]);
        m_controls.showProgress(static_cast<int>(address));
        QCoreApplication::processEvents();
    }

    bool stopRequested() override { return m_controls.m_pauseFlag; }

    void verifyFailed(const VerifyMismatch&) override {
        m_controls.showStatus(QStringLiteral("Fail!"), Qt::red);
    }

private:
    TransferControls& m_controls;
    bool m_showBytes;
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

void TransferControls::showProgress(int position) {
    m_w.progress->setValue(position);
    m_w.percent->setText(QString::fromStdString(progressPercentText(position)));
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
    m_w.backup->setText(QStringLiteral("Backup: ") + QFileInfo(path).fileName());
    m_w.backup->setToolTip(QStringLiteral("The sink's content before the last write: ") + path);
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
        setCaption(own, QStringLiteral("Pause"), Qt::red);
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
    if (pausedOrBusy(Running::Read, m_w.read, QStringLiteral("Read DDC")))
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
        setCaption(m_w.read, QStringLiteral("Read DDC"), Qt::black);
    // The bar and its percentage back at 0 together.
    showProgress(0);

    if (result.status == EepromReadResult::Status::NoAnswer) {
        // The image stays as it was; cells that showed bytes as they arrived
        // show the image again.
        if (result.count > 0)
            emit gridToBeRendered();
        m_ui.showMessage(m_window, QString::fromStdString(result.message) +
                                       QStringLiteral("\nThe image was not changed."));
        return;
    }
    // A complete read, or one the user paused: the bytes read so far.
    m_session.adoptEepromBytes(result.bytes, result.count);
    emit imageRead();
}

void TransferControls::write() {
    if (pausedOrBusy(Running::Write, m_w.write, QStringLiteral("Write DDC")))
        return;
    if (m_session.imageLength() > kImageSize) {
        m_ui.showMessage(m_window, QString::fromLatin1(kMsgImageTooLongForTransfer));
        return;
    }
    OpenTransfer open(m_session.ddc());
    if (!start(Running::Write, m_w.write, open))
        return;
    const bool toggles = open.pausable();
    showBackup({});
    // The bytes of the moment the write starts are written and verified,
    // after the sink's own content is saved.
    const EdidImage image = m_session.image();
    View view(*this, false);
    WriteTransactionOptions options;
    options.backupDirectory = defaultBackupDirectory();
    options.confirmOverwrite = [this](const std::string& question) {
        return m_ui.confirm(m_window, QString::fromStdString(question));
    };
    const EepromWriteResult result = writeEepromTransaction(open.transfer(), image, view, options);
    open.close();
    end();
    if (toggles) {
        setCaption(m_w.write, QStringLiteral("Write DDC"), Qt::black);
        showProgress(0);
    }
    showBackup(QString::fromStdString(result.backupPath));

    using Status = EepromWriteResult::Status;
    switch (result.status) {
    case Status::Pass:
        showStatus(QStringLiteral("Pass!"), Qt::darkGreen);
        break;
    case Status::Stopped:
        // A paused verify judged nothing.
        if (result.endedIn == TransferPhase::Verify)
            m_w.status->hide();
        break;
    case Status::Refused:
    case Status::NotBackedUp:
        // Nothing was written: there is nothing to judge.
        m_ui.showMessage(m_window, QString::fromStdString(result.message));
        break;
    case Status::Fail:
    case Status::NoAnswer:
        showStatus(QStringLiteral("Fail!"), Qt::red);
        QString message = QString::fromStdString(result.message);
        if (result.differences > 0) {
            emit differencesFound(result.readBack, result.verified);
            message += QStringLiteral("\nThe grid shows each differing byte as written/read back.");
        }
        m_ui.showMessage(m_window, message);
        break;
    }
}

} // namespace pellam
