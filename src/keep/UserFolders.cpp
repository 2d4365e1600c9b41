#include "UserFolders.h"

#include "Paths.h"
#include "SystemLog.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <pwd.h>
#include <unistd.h>

namespace {

using UserFolders::actingForAnotherUser;

QString invokingHome()
{
    const passwd *entry = getpwuid(Paths::invokingUser().uid);
    return entry ? QFile::decodeName(entry->pw_dir) : QDir::homePath();
}

QString xdgFolder(const char *variable, const QString &fallbackUnderHome)
{
    const QString set = qEnvironmentVariable(variable);
    if (QDir::isAbsolutePath(set))
        return QDir::cleanPath(set);
    return invokingHome() + fallbackUnderHome;
}

} // namespace

namespace UserFolders {

bool actingForAnotherUser()
{
    return geteuid() == 0 && Paths::invokingUser().uid != 0;
}

QString dataHome()
{
    if (actingForAnotherUser())
        return xdgFolder("XDG_DATA_HOME", QStringLiteral("/.local/share"));
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}

QString stateHome()
{
    // Qt names no state location before 6.7: the XDG rule itself.
    const QString set = qEnvironmentVariable("XDG_STATE_HOME");
    if (QDir::isAbsolutePath(set))
        return QDir::cleanPath(set);
    if (actingForAnotherUser())
        return invokingHome() + QStringLiteral("/.local/state");
    return QDir::homePath() + QStringLiteral("/.local/state");
}

bool makePath(const QString &path)
{
    QStringList missing;
    QString existing = QDir::cleanPath(path);
    while (!QFileInfo::exists(existing) && existing != QStringLiteral("/")) {
        missing.prepend(existing);
        existing = Paths::deletingLastPathComponent(existing);
    }
    for (const QString &folder : std::as_const(missing)) {
        if (!QDir().mkdir(folder))
            return false;
        giveToUser(folder);
    }
    return QFileInfo(path).isDir();
}

void giveToUser(const QString &path)
{
    if (!actingForAnotherUser())
        return;
    const Paths::Owner owner = Paths::invokingUser();
    if (lchown(QFile::encodeName(path).constData(), owner.uid, owner.gid) != 0)
        SystemLog::log(QStringLiteral("Warning: giveToUser: %1").arg(path));
}

} // namespace UserFolders
