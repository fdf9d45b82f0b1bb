#include "gui/app/main_window.h"
#include "gui/ui/user_interaction.h"

#include <cstdio>
#include <cstring>

#include <QApplication>
#include <QTimer>

#ifndef PELLAM_VERSION
#define PELLAM_VERSION "unknown"
#endif

namespace {

// --help and --version are answered before the window system is touched, so
// they work without a display.
bool answeredFromCommandLine(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("pellam %s\n"
                        "Copyright (c) 2026 The Pellam authors.\n"
                        "MIT licence: this is free software, you may use, copy, change and\n"
                        "pass it on; it comes with no warranty.\n",
                        PELLAM_VERSION);
            return true;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::printf("Usage: pellam [Qt options]\n\n"
                        "Opens the Pellam EDID editor: a hex grid and field editors for the\n"
                        "128- or 256-byte EDID of an HDMI or DisplayPort sink, the compliance\n"
                        "analyser, and EEPROM read, write, verify and compare over I2C.\n"
                        "For scripts and CI use pellam-cli.\n\n"
                        "Options:\n"
                        "  --help     show this text\n"
                        "  --version  show the version\n");
            return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char** argv) {
    if (answeredFromCommandLine(argc, argv))
        return 0;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pellam"));
    QApplication::setApplicationVersion(QStringLiteral(PELLAM_VERSION));
    pellam::QtUserInteraction ui;
    pellam::TForm1 window(ui);
    window.show();
    // The chosen port is opened once the window is up, so start-up stays quick
    // and its messages appear over the window.
    QTimer::singleShot(0, &window, &pellam::TForm1::openTransferPort);
    return app.exec();
}
