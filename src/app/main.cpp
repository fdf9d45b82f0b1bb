#include "app/main_window.h"
#include "ui/user_interaction.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pellam"));
    pellam::QtUserInteraction ui;
    pellam::TForm1 window(ui);
    window.show();
    // The chosen port is opened once the window is up, so start-up stays quick
    // and its messages appear over the window.
    QTimer::singleShot(0, &window, &pellam::TForm1::openTransferPort);
    return app.exec();
}
