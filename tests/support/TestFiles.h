#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Files and programs as tests use them.
namespace TestFiles {

// Writes `contents` to `path`, making its folders; false when it could not.
bool writeFile(const QString &path, const QByteArray &contents);
// The file's contents; empty when it cannot be read.
QByteArray readFile(const QString &path);
// Whether a volume is mounted exactly on `path`.
bool isMounted(const QString &path);
// Runs a program of the system and waits (two minutes at most); its exit status, -1 when it
// crashed or did not end.
int run(const QString &program, const QStringList &arguments);
// An executable script at `path` (made with its folders).
bool writeScript(const QString &path, const QByteArray &contents);

// Puts `folder` first on $PATH while it lives.
struct PathFirst
{
    QByteArray saved;
    explicit PathFirst(const QString &folder);
    ~PathFirst();
    PathFirst(const PathFirst &) = delete;
    PathFirst &operator=(const PathFirst &) = delete;
};

} // namespace TestFiles
