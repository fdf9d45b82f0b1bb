// The user's configuration file (QSettings in the user scope), shared by the
// I2C settings and the editor's own preferences: recent files and the last
// folder a file dialog showed.
#pragma once

#include <memory>

#include <QSettings>
#include <QStringList>

namespace pellam {

std::unique_ptr<QSettings> openUserConfig();

// The most recent first, at most kMaxRecentFiles.
constexpr int kMaxRecentFiles = 8;
QStringList recentFiles();
// Puts the path first (once); the list keeps kMaxRecentFiles.
void addRecentFile(const QString& path);
void removeRecentFile(const QString& path);

// The folder the last file dialog was left in; empty before the first.
QString lastFolder();
void setLastFolder(const QString& folder);

} // namespace pellam
