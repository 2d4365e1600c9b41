#include "MediaLocation.h"

#include "Paths.h"

#include <QDir>
#include <QFileInfo>
#include <pwd.h>

namespace {

const QString requestPrefix = QStringLiteral("@media/");

} // namespace

QString MediaLocation::userName()
{
    const passwd *entry = getpwuid(Paths::invokingUser().uid);
    return entry ? QString::fromLocal8Bit(entry->pw_name) : QString();
}

QString MediaLocation::folder()
{
    const QString user = userName();
    const QString media = QStringLiteral("/media/") + user;
    const QString run = QStringLiteral("/run/media/") + user;
    return !QFileInfo::exists(media) && QFileInfo(run).isDir() ? run : media;
}

bool MediaLocation::isDefault(const QString &path)
{
    return path.startsWith(requestPrefix) ||
           (!userName().isEmpty() && QDir::cleanPath(path) == folder()) || holds(path);
}

QString MediaLocation::request(const QString &path, const QString &diskName)
{
    if (path.startsWith(requestPrefix) && path.size() > requestPrefix.size())
        return path;
    if (holds(path))
        return requestPrefix + QFileInfo(QDir::cleanPath(path)).fileName();
    return requestPrefix + diskName;
}

bool MediaLocation::holds(const QString &path)
{
    const QString user = userName();
    const QString parent = Paths::deletingLastPathComponent(QDir::cleanPath(path));
    return !user.isEmpty() && (parent == QStringLiteral("/media/") + user ||
                               parent == QStringLiteral("/run/media/") + user);
}
