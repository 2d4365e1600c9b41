#pragma once

#include <QList>
#include <QString>

// A disk to make again at login.
struct RememberedDisk
{
    QString size; // as the user typed it, read again the same way each time
    QString name;
    QString mountPath;
    QString keptFolder; // empty: the disk keeps nothing
    QString kind;       // the kind's word ("memory", "compressed", "block"); empty: memory
};

// The disks made at login, one per mount folder, in the settings file (Settings). Each call
// reads the file as it is now, under the lock beside it, so a running window never writes back
// a list that the command line has changed since.
namespace RememberedDisks {

QList<RememberedDisk> list();
// Adds the disk, or replaces the one remembered for the same mount folder.
void remember(const RememberedDisk &disk);
// Forgets the disk of that mount folder; false when none was remembered.
bool forget(const QString &mountPath);

} // namespace RememberedDisks
