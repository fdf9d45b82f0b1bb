#include "app/main_window.h"
#include "ui/user_interaction.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pellam"));
    pellam::QtUserInteraction ui;
    pellam::TForm1 window(ui);
    window.show();
    return app.exec();
}
