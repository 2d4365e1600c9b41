#include "MountPathPolicy.h"

#include "Localization.h"
#include "MediaLocation.h"
#include "Paths.h"
#include "SystemDisks.h"

#include <QDir>
#include <QFileInfo>
#include <pwd.h>

namespace {

// Folders that are never mount points themselves.
bool isSystemFolder(const QString &path)
{
    static const QStringList exact{
        QStringLiteral("/"),      QStringLiteral("/bin"),  QStringLiteral("/boot"),
        QStringLiteral("/dev"),   QStringLiteral("/etc"),  QStringLiteral("/home"),
        QStringLiteral("/media"), QStringLiteral("/mnt"),  QStringLiteral("/opt"),
        QStringLiteral("/proc"),  QStringLiteral("/root"), QStringLiteral("/run"),
        QStringLiteral("/sbin"),  QStringLiteral("/srv"),  QStringLiteral("/sys"),
        QStringLiteral("/tmp"),   QStringLiteral("/usr"),  QStringLiteral("/var")};
    // Nothing of ours belongs anywhere below these.
    static const QStringList trees{
        QStringLiteral("/proc"), QStringLiteral("/sys"),  QStringLiteral("/dev"),
        QStringLiteral("/usr"),  QStringLiteral("/etc"),  QStringLiteral("/boot"),
        QStringLiteral("/bin"),  QStringLiteral("/sbin"), QStringLiteral("/run")};
    if (exact.contains(path))
        return true;
    const QString top = path.section(QLatin1Char('/'), 1, 1);
    if (top.startsWith(QStringLiteral("lib")))
        return true;
    for (const QString &tree : trees) {
        if (path.startsWith(tree + QLatin1Char('/')))
            return true;
    }
    return false;
}

QStringList homeFolders()
{
    QStringList homes{QDir::cleanPath(QDir::homePath())};
    if (const passwd *entry = getpwuid(Paths::invokingUser().uid))
        homes << QDir::cleanPath(QString::fromLocal8Bit(entry->pw_dir));
    return homes;
}

// The path with every existing part resolved through symbolic links, so that a link cannot
// lead the mount somewhere the plain path would be refused.
QString resolved(const QString &path)
{
    QString existing = path;
    QString rest;
    while (!QFileInfo::exists(existing) && existing != QStringLiteral("/")) {
        rest = QLatin1Char('/') + QFileInfo(existing).fileName() + rest;
        existing = Paths::deletingLastPathComponent(existing);
    }
    const QString canonical = QFileInfo(existing).canonicalFilePath();
    if (canonical.isEmpty())
        return path;
    return QDir::cleanPath(canonical + rest);
}

} // namespace

QString mountPathProblem(const QString &path)
{
    // The helper makes the disk's folder there, and checks it.
    if (MediaLocation::isDefault(path))
        return QString();
    if (path.isEmpty() || !QDir::isAbsolutePath(path))
        return localizedStringForKey(QStringLiteral("MountPathNotAbsolute")).arg(path);

    const QString cleaned = QDir::cleanPath(path);
    const QString real = resolved(cleaned);
    if (isSystemFolder(cleaned) || isSystemFolder(real))
        return localizedStringForKey(QStringLiteral("MountPathSystemFolder")).arg(cleaned);
    const QStringList homes = homeFolders();
    if (homes.contains(cleaned) || homes.contains(real))
        return localizedStringForKey(QStringLiteral("MountPathHomeFolder")).arg(cleaned);

    for (QString above = Paths::deletingLastPathComponent(cleaned);
         !above.isEmpty() && above != QStringLiteral("/");
         above = Paths::deletingLastPathComponent(above)) {
        const QFileInfo info(above);
        if (info.exists() && !info.isDir())
            return localizedStringForKey(QStringLiteral("MountPathUnderFile")).arg(cleaned, above);
    }

    const QFileInfo info(cleaned);
    if (info.exists() && !info.isDir())
        return localizedStringForKey(QStringLiteral("MountPathIsFile")).arg(cleaned);
    // Only the last folder is ever made for a disk.
    const QString parent = Paths::deletingLastPathComponent(cleaned);
    if (!QFileInfo(parent).isDir())
        return localizedStringForKey(QStringLiteral("MountPathParentMissing")).arg(cleaned, parent);
    if (SystemDisks::isMountPoint(cleaned) || SystemDisks::isMountPoint(real))
        return localizedStringForKey(QStringLiteral("MountPathAlreadyMounted")).arg(cleaned);
    if (info.isDir() && !QDir(cleaned).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System |
                                               QDir::NoDotAndDotDot))
        return localizedStringForKey(QStringLiteral("MountPathNotEmpty")).arg(cleaned);
    return QString();
}
