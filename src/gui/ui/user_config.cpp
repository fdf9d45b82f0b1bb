#include "gui/ui/user_config.h"

#include <QFileInfo>

namespace pellam {

namespace {

const QString kOrganisation = QStringLiteral("Korvo");
const QString kApplication = QStringLiteral("Tarnix");
const QString kRecentFilesKey = QStringLiteral("Editor/RecentFiles");
const QString kLastFolderKey = QStringLiteral("Editor/LastFolder");

} // namespace

std::unique_ptr<QSettings> openUserConfig() {
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       kOrganisation, kApplication);
}

QStringList recentFiles() {
    QStringList files = openUserConfig()->value(kRecentFilesKey).toStringList();
    files.removeAll(QString());
    return files.mid(0, kMaxRecentFiles);
}

void addRecentFile(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QStringList files = recentFiles();
    files.removeAll(absolute);
    files.prepend(absolute);
    openUserConfig()->setValue(kRecentFilesKey, files.mid(0, kMaxRecentFiles));
}

void removeRecentFile(const QString& path) {
    QStringList files = recentFiles();
    files.removeAll(QFileInfo(path).absoluteFilePath());
    openUserConfig()->setValue(kRecentFilesKey, files);
}

QString lastFolder() {
    return openUserConfig()->value(kLastFolderKey).toString();
}

void setLastFolder(const QString& folder) {
    openUserConfig()->setValue(kLastFolderKey, folder);
}

} // namespace pellam
