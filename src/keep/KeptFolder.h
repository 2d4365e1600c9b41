#pragma once

#include <QString>

// A folder whose contents a disk keeps: where it goes by default, and whether it fits a disk.
namespace KeptFolder {

// Names rsync and the saves use inside a kept folder; they are never loaded onto a disk.
QString temporaryFolderName(); // new copies being written, at the top of the kept folder
QString pendingFolderName();   // finished copies waiting to be renamed, in each folder

// A file name made from a volume name: no slash, no leading dot, no control characters.
QString safeFileName(const QString &volumeName);
// $XDG_DATA_HOME/vellumar/kept/<safe volume name>.
QString defaultFolder(const QString &volumeName);

struct Contents
{
    qint64 kib = 0;     // space the files take on a disk of 4 KiB blocks
    qint64 entries = 0; // files, folders and links, each one inode
};
// What the folder holds, without what an interrupted save left behind.
Contents measure(const QString &folder);
// What a new disk of `diskKiB` holds once its file system is written.
qint64 usableKiB(qint64 diskKiB);
qint64 inodesOf(qint64 diskKiB);
// Why the folder's contents cannot go on a disk of `diskKiB`, in one sentence; empty when they fit.
QString sizeProblem(const QString &folder, qint64 diskKiB);

} // namespace KeptFolder
