#include "settings/program_folder.h"

#include <QDir>
#include <QFileInfo>

namespace Settings {

bool isInBuildTree(const QString& folder) {
    QDir dir(QFileInfo(folder).absoluteFilePath());
    for (;;) {
        if (dir.exists(QStringLiteral("CMakeCache.txt"))) return true;
        if (!dir.cdUp()) return false;
    }
}

QString chooseProgramFolder(const QString& executableFolder, const QString& dataFolder) {
    QString folder = executableFolder;
    if (!QFileInfo(folder).isWritable() || isInBuildTree(folder)) {
        folder = dataFolder;
        QDir().mkpath(folder);
    }
    if (!folder.endsWith(u'/')) folder += u'/';
    return folder;
}

}  // namespace Settings
