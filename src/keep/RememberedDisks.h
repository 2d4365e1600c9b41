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
};

// The disks made at login, kept in the user-defaults store under "RememberedDisks", one per
// mount folder.
namespace RememberedDisks {

QList<RememberedDisk> list();
// Adds the disk, or replaces the one remembered for the same mount folder.
void remember(const RememberedDisk &disk);
// Forgets the disk of that mount folder; false when none was remembered.
bool forget(const QString &mountPath);

} // namespace RememberedDisks
