#include "Paths.h"

#include <QDir>
#include <pwd.h>
#include <unistd.h>

namespace Paths {

QString expandTilde(const QString &path)
{
    if (!path.startsWith(QLatin1Char('~')))
        return path;
    const qsizetype slash = path.indexOf(QLatin1Char('/'));
    const QString user = path.mid(1, slash < 0 ? -1 : slash - 1);
    const QString rest = slash < 0 ? QString() : path.mid(slash);
    QString home;
    if (user.isEmpty()) {
        home = QDir::homePath();
    } else {
        const QByteArray name = user.toLocal8Bit();
        const passwd *entry = getpwnam(name.constData());
        if (!entry)
            return path;
        home = QString::fromLocal8Bit(entry->pw_dir);
    }
    if (home.endsWith(QLatin1Char('/')) && rest.startsWith(QLatin1Char('/')))
        home.chop(1);
    return home + rest;
}

QString deletingLastPathComponent(const QString &path)
{
    QString trimmed = path;
    while (trimmed.size() > 1 && trimmed.endsWith(QLatin1Char('/')))
        trimmed.chop(1);
    const qsizetype slash = trimmed.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        return QString();
    if (slash == 0)
        return QStringLiteral("/");
    return trimmed.left(slash);
}

Owner invokingUser()
{
    bool uidOk = false;
    bool gidOk = false;
    uint uid = qEnvironmentVariable("SUDO_UID").toUInt(&uidOk);
    uint gid = qEnvironmentVariable("SUDO_GID").toUInt(&gidOk);
    if (uidOk && gidOk)
        return {uid, gid};
    uid = qEnvironmentVariable("PKEXEC_UID").toUInt(&uidOk);
    if (uidOk) {
        const passwd *entry = getpwuid(uid);
        return {uid, entry ? uint(entry->pw_gid) : uint(getgid())};
    }
    return {uint(getuid()), uint(getgid())};
}

} // namespace Paths
