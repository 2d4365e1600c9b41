#include "HostileHome.h"

#include "RealDisks.h"
#include "SystemDisks.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

HostileHome::HostileHome(const QString &home) : m_home(home)
{
    QDir().mkpath(path(QStringLiteral("full")));
    if (!TestFiles::writeFile(path(QStringLiteral("full/notes.txt")), "the user's notes") ||
        !TestFiles::writeFile(path(QStringLiteral("plain")), "a plain file"))
        m_problem = QStringLiteral("the user's files could not be written");
    QDir().mkpath(path(QStringLiteral("mounted")));
    m_mounted = TestFiles::run(QStringLiteral("mount"),
                               {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                                QStringLiteral("size=1m"), QStringLiteral("tmpfs"),
                                path(QStringLiteral("mounted"))}) == 0;
    if (!m_mounted ||
        !TestFiles::writeFile(path(QStringLiteral("mounted/inside.txt")), "on the mounted volume"))
        m_problem = QStringLiteral("the tmpfs on \"mounted\" could not be made");
    if (!QFile::link(QStringLiteral("/etc"), path(QStringLiteral("etc-link"))))
        m_problem = QStringLiteral("the link to /etc could not be made");
}

HostileHome::~HostileHome()
{
    if (m_mounted)
        TestFiles::run(QStringLiteral("umount"), {path(QStringLiteral("mounted"))});
}

QString HostileHome::path(const QString &relative) const
{
    return m_home + QLatin1Char('/') + relative;
}

QStringList HostileHome::damage() const
{
    QStringList found;
    const auto expect = [&](const char *file, const QByteArray &contents) {
        if (TestFiles::readFile(path(QLatin1String(file))) != contents)
            found << QStringLiteral("%1 changed").arg(QLatin1String(file));
    };
    expect("full/notes.txt", "the user's notes");
    expect("plain", "a plain file");
    expect("mounted/inside.txt", "on the mounted volume");
    if (SystemDisks::isMountPoint(path(QStringLiteral("full"))))
        found << QStringLiteral("something is mounted on full");
    if (QFileInfo(path(QStringLiteral("etc-link"))).symLinkTarget() != QStringLiteral("/etc"))
        found << QStringLiteral("etc-link changed");
    const QStringList mounts = RealDisks::mountsUnder(m_home);
    if (mounts != QStringList{path(QStringLiteral("mounted"))})
        found << QStringLiteral("mounted below the home: ") + mounts.join(QStringLiteral(", "));
    // No disk of ours ever lands on a system folder.
    for (const SystemDisks::Mount &m : SystemDisks::mounts())
        for (const QString &system :
             {QStringLiteral("/"), QStringLiteral("/etc"), QStringLiteral("/usr")})
            if (m.mountPoint == system && m.source.startsWith(QStringLiteral("/dev/loop")))
                found << QStringLiteral("a loop device on ") + system;
    return found;
}
