// The EEPROM transfers of the main window's transfer group: "读EDID" reads
// the sink's EEPROM into the image, "写EDID" writes the image as a
// transaction (backup, write, verify). The progress bar, its percentage, the
// verify status and the backup's name show how a transfer goes. On a
// parallel or serial port a second click of the running transfer's button
// pauses it after the current byte.
#pragma once

#include "core/session/editor_session.h"

#include <functional>
#include <vector>

#include <QObject>

class QColor;
class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QString;
class QWidget;

namespace pellam {

class OpenTransfer;
class UserInteraction;

class TransferControls : public QObject {
    Q_OBJECT

public:
    // The transfer group's controls, owned by the window.
    struct Widgets {
        QGroupBox* group = nullptr;
        QProgressBar* progress = nullptr; // ProgressBar1, 0..the bytes of the phase
        QLabel* percent = nullptr;        // Label13
        QLabel* status = nullptr;         // Label14
        QLabel* backup = nullptr;         // lblBackup
        QPushButton* write = nullptr;     // btnWrite
        QPushButton* read = nullptr;      // btnRead1
        QPushButton* compare = nullptr;   // btnComp
        // Shows the I2C settings at the display connector list; true when
        // the user confirmed them (a DDC transfer without a connector).
        std::function<bool()> chooseConnector;
    };

    TransferControls(const Widgets& widgets, EditorSession& session, UserInteraction& ui,
                     QWidget* window);
    ~TransferControls() override;

    void read();
    void write();
    bool running() const;
    // Stops the running transfer after its current byte or page.
    void requestStop();
    // Closing the window: true when no transfer runs, or when the user
    // agrees to stop the running one (which is then asked to stop).
    bool mayClose();

signals:
    // A byte read, to be shown in its grid cell as it arrives.
    void byteRead(std::size_t offset, Byte value);
    // The bytes read became the image.
    void imageRead();
    // The grid shows the image again (a failed read showed bytes in it).
    void gridToBeRendered();
    // The verify found differences: the grid shows the image against the
    // first `count` bytes read back.
    void differencesFound(const std::vector<Byte>& readBack, std::size_t count);

private:
    class View;
    enum class Running { None, Read, Write };

    void showProgress(std::size_t done);
    void setProgressLength(std::size_t length);
    // The DDC port type without a connector: the settings at the connector
    // list, or the message that there is none. true when a transfer can go on.
    bool connectorChosen();
    void showStatus(const QString& text, const QColor& colour);
    void showBackup(const QString& path);
    static void setCaption(QPushButton* button, const QString& text, const QColor& colour);
    // A click on a transfer's button while a transfer runs: pauses it when
    // it is this one (its button gets its caption back). True when a
    // transfer runs, which the click then does not start.
    bool pausedOrBusy(Running kind, QPushButton* own, const QString& caption);
    // Starts the transfer when it could be opened (else says why). While a
    // transfer runs, the transfer buttons other than its own are off, so
    // that transfers never nest; end() turns all three on again.
    bool start(Running kind, QPushButton* own, OpenTransfer& open);
    void end();

    Widgets m_w;
    EditorSession& m_session;
    UserInteraction& m_ui;
    QWidget* m_window;
    Running m_running = Running::None;
    // Set by a second click on the running transfer's button (or by closing
    // the window); tested before each byte.
    bool m_pauseFlag = false;
};

} // namespace pellam
