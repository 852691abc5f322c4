#include "settings/program_folder.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace Settings {

namespace {

// The folder with symbolic links resolved where it exists (/bin may be a link to /usr/bin).
QString resolved(const QString& folder) {
    const QFileInfo info(folder);
    const QString canonical = info.canonicalFilePath();
    return QDir::cleanPath(canonical.isEmpty() ? info.absoluteFilePath() : canonical);
}

}  // namespace

bool isInBuildTree(const QString& folder) {
    QDir dir(QFileInfo(folder).absoluteFilePath());
    for (;;) {
        if (dir.exists(QStringLiteral("CMakeCache.txt"))) return true;
        if (!dir.cdUp()) return false;
    }
}

bool isInstallFolder(const QString& folder) {
    static const QStringList systemRoots = {
        QStringLiteral("/usr"),   QStringLiteral("/opt"),   QStringLiteral("/bin"),   QStringLiteral("/sbin"),
        QStringLiteral("/lib"),   QStringLiteral("/lib32"), QStringLiteral("/lib64"), QStringLiteral("/libx32"),
        QStringLiteral("/etc"),   QStringLiteral("/var"),   QStringLiteral("/boot"),  QStringLiteral("/snap"),
        QStringLiteral("/nix"),   QStringLiteral("/gnu"),   QStringLiteral("/app"),
    };
    const QString path = resolved(folder);
    if (path == u'/') return true;
    for (const QString& root : systemRoots)
        if (path == root || path.startsWith(root + u'/')) return true;
    const QString name = QFileInfo(path).fileName();
    return name == u"bin" || name == u"sbin" || name == u"libexec";
}

QString chooseProgramFolder(const QString& executableFolder, const QString& dataFolder) {
    QString folder = executableFolder;
    if (!QFileInfo(folder).isWritable() || isInBuildTree(folder) || isInstallFolder(folder)) {
        folder = dataFolder;
        QDir().mkpath(folder);
    }
    if (!folder.endsWith(u'/')) folder += u'/';
    return folder;
}

}  // namespace Settings
