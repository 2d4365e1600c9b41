#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStorageInfo>

namespace TestFiles {

bool writeFile(const QString &path, const QByteArray &contents)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool isMounted(const QString &path)
{
    return QStorageInfo(path).rootPath() == QDir::cleanPath(path);
}

int run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(120000))
        return -1;
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

bool writeScript(const QString &path, const QByteArray &contents)
{
    return writeFile(path, contents) &&
           QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

PathFirst::PathFirst(const QString &folder) : saved(qgetenv("PATH"))
{
    qputenv("PATH", folder.toLocal8Bit() + ':' + saved);
}

PathFirst::~PathFirst()
{
    qputenv("PATH", saved);
}

} // namespace TestFiles
