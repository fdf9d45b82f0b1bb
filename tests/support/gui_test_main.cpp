// Test main for widget tests: runs headless on the offscreen platform unless
// a platform is chosen, keeps one QApplication for all tests, and points the
// user's configuration at a temporary folder, so that no test reads or writes
// the real one. PELLAM_SCREENSHOT_LANG=en applies the English translation
// for the page pictures; every other test expects the default texts.
#include "gui/ui/language.h"

#include <cstdlib>

#include <QApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    const QTemporaryDir config;
    if (!config.isValid())
        return 1;
    for (const auto format : {QSettings::NativeFormat, QSettings::IniFormat})
        for (const auto scope : {QSettings::UserScope, QSettings::SystemScope})
            QSettings::setPath(format, scope,
                               config.path() +
                                   (scope == QSettings::UserScope ? "/user" : "/system"));
    const QString pictureLanguage = qEnvironmentVariable("PELLAM_SCREENSHOT_LANG");
    if (!pictureLanguage.isEmpty() &&
        !pellam::applyLanguage(pellam::chooseLanguage(pictureLanguage, {}, {})))
        return 1;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
