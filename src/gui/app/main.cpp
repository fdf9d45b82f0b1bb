#include "gui/app/main_window.h"
#include "gui/ui/language.h"
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
            std::printf("Usage: pellam [--lang en|zh] [Qt options]\n\n"
                        "Opens the Pellam EDID editor: a hex grid and field editors for the\n"
                        "128- or 256-byte EDID of an HDMI or DisplayPort sink, the compliance\n"
                        "analyser, and EEPROM read, write, verify and compare over I2C.\n"
                        "For scripts and CI use pellam-cli.\n\n"
                        "Options:\n"
                        "  --lang en|zh  the language of the window: English or Chinese (the\n"
                        "                default); overrides PELLAM_LANG and the choice stored\n"
                        "                from the window's Language menu\n"
                        "  --help        show this text\n"
                        "  --version     show the version\n\n"
                        "Environment:\n"
                        "  PELLAM_LANG   en or zh, as --lang; overrides the stored choice\n");
            return true;
        }
    }
    return false;
}

// The value of --lang (as "--lang en" or "--lang=en"); empty when not given.
// False, after saying why, when the value is missing or names no language.
bool languageOption(int argc, char** argv, QString& value) {
    for (int i = 1; i < argc; ++i) {
        const char* text = nullptr;
        if (std::strcmp(argv[i], "--lang") == 0)
            text = i + 1 < argc ? argv[i + 1] : "";
        else if (std::strncmp(argv[i], "--lang=", 7) == 0)
            text = argv[i] + 7;
        else
            continue;
        value = QString::fromLocal8Bit(text);
        if (!pellam::languageFromCode(value)) {
            std::fprintf(stderr, "pellam: --lang takes en or zh, not \"%s\"\n", text);
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (answeredFromCommandLine(argc, argv))
        return 0;
    QString language;
    if (!languageOption(argc, argv, language))
        return 2;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pellam"));
    QApplication::setApplicationVersion(QStringLiteral(PELLAM_VERSION));
    const QString environment = qEnvironmentVariable("PELLAM_LANG");
    if (!environment.isEmpty() && !pellam::languageFromCode(environment))
        std::fprintf(stderr, "pellam: PELLAM_LANG is en or zh; \"%s\" is passed over\n",
                     qPrintable(environment));
    if (!pellam::applyLanguage(
            pellam::chooseLanguage(language, environment, pellam::storedLanguage())))
        std::fprintf(stderr, "pellam: the English translation could not be loaded\n");
    pellam::QtUserInteraction ui;
    pellam::TForm1 window(ui);
    window.show();
    // The chosen port is opened once the window is up, so start-up stays quick
    // and its messages appear over the window.
    QTimer::singleShot(0, &window, &pellam::TForm1::openTransferPort);
    return app.exec();
}
