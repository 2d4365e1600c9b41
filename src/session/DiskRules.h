#pragma once

#include "DiskRequest.h"
#include "MachineMemory.h"

#include <QString>

// The rules of a disk request, one per fact, each written once for the window and the command
// line. Each answers a refusal in one sentence, or an empty one (ok()) when the fact is fine.
namespace DiskRules {

// The name of a disk whose request gives none.
QString defaultName();

// The size as people type it (DiskSize), read against the machine's memory for a share.
Refusal size(const QString &text, const MachineMemory &memory, qint64 *kib);
// A name is a volume label: no control characters (line breaks, tabs).
Refusal name(const QString &name);
// The word of a kind ("memory", "compressed", "block").
Refusal kind(const QString &word, DiskKind *kind);
// An absolute folder (after "~"), not a system folder or mount point, in a folder that exists.
Refusal mountPath(const QString &path);
// The kept folder's form (absolute after "~") and that no other disk of this user, mounted or
// remembered, keeps its contents there or in a folder inside or around it. `mountPath` is the
// disk's own: a disk never competes with itself.
Refusal keptFolder(const QString &folder, const QString &mountPath);
// That the kept folder's contents fit a disk of `kib` and can be copied as the disk's user;
// walks the folder, so it may take a while (any thread). `bytes`: what a load will copy.
Refusal keptContents(const QString &folder, qint64 kib, qint64 *bytes);
// The helper's memory rule: a disk may claim what the machine has available now, less a margin
// for everything else (1/16 of the memory, between 64 MiB and 512 MiB).
Refusal memory(qint64 kib, const MachineMemory &memory);
// Whether this user may make disks at all (asks the helper; may show the system's dialog).
Refusal privilege();

// The disk (name, mount folder) whose contents are kept in `folder` or a folder inside or
// around it, other than the disk on `mountPath`; both empty when none.
struct KeptFolderUser
{
    QString name;
    QString mountPath;
};
KeptFolderUser keptFolderUser(const QString &folder, const QString &mountPath);
// The folder a new disk named `name` keeps its contents in unless told otherwise: the name's
// folder under the data folder, numbered ("Scratch 2") while another disk uses it.
QString defaultKeptFolder(const QString &name, const QString &mountPath);

} // namespace DiskRules
