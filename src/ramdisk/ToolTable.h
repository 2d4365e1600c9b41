#pragma once

#include "DiskKind.h"

#include <QString>
#include <QStringList>
#include <functional>

// What a tool's argument builder may use of a disk.
struct DiskFields
{
    quint32 diskBlockSize = 0;
    QString device; // null while no device was allocated
    QString diskId; // what the memory tool printed after the device: the disk's identity
    QString mountPath;
    QString label;     // the volume name, already cut to the table's label limit
    uint ownerUid = 0; // the user the file system's root folder belongs to
    uint ownerGid = 0;
    DiskKind kind = DiskKind::Block; // as RamDisk: a disk made without a kind
};

// One step of a disk's life: the tool to run and how its arguments are made.
struct ToolRow
{
    QString launchPath;
    std::function<QStringList(const DiskFields &)> arguments;
    // The step is pointless without a device: it fails without running the tool when there is
    // none, instead of running it with the device left out.
    bool needsDevice = false;
};

// The tools of one platform, one row per step. The steps of RamDisk are written once and read
// the row they need.
//
// Tests point the Linux argument lists at fake tools (tests/support/FakeTools.h) and install the
// table for every disk made afterwards:
//
//     FakeTools tools;
//     FakeTools::Behaviour device;
//     device.standardOutput = QStringLiteral("/dev/loop7\n");
//     const FakeTools::Behaviour quiet;
//     auto table = std::make_shared<ToolTable>(ToolTable::linuxTableWith(
//         tools.write("attach", device), tools.write("mkfs", quiet), tools.write("mount", quiet),
//         tools.write("umount", quiet), tools.write("detach", quiet), QString()));
//     table->isMounted = [](const QString &) { return false; }; // optional: fake probes
//     table->isAttached = [](const QString &) { return false; };
//     RamDisk::setToolTable(table);
//
// (names as QStringLiteral). An empty removal path keeps the real in-process removal.
// Put the real table back with RamDisk::setToolTable(nullptr).
struct ToolTable
{
    ToolRow allocate;
    ToolRow createFilesystem;
    ToolRow mount;
    ToolRow umount;
    ToolRow detach;
    // An empty launch path removes the (empty) folder in-process, like rmdir: never recursive.
    ToolRow removeMountPath;

    // Longest volume label the file system takes, in bytes of UTF-8; 0 for no limit.
    int labelLimitBytes = 0;
    // The tools make every kind, and a memory disk is made and mounted by the allocation alone
    // (one call of the helper): its answer gives the mount folder on a third line, and no file
    // system is made. Unset, every disk is made as a block disk.
    bool memoryDisksMountOnAllocation = false;
    // The mount tool makes a missing mount folder itself (and removes it again when the mount
    // fails); otherwise mount() makes it before running the tool.
    bool mountMakesFolder = false;
    // The disks of ours the system knows, one line each (empty launch path: none to ask).
    ToolRow list;

    // Probes teardown uses to see whether a step really did its work. Unset: assume it did.
    // linuxTable() reads the mount table and the loop devices' backing files.
    std::function<bool(const QString &mountPath)> isMounted;
    // Whether this disk's own device is what is mounted on the path: another volume there (a
    // disk made at the same moment on the same folder) is not ours. Unset: isMounted decides.
    std::function<bool(const QString &mountPath, const QString &device)> isMountedFrom;
    std::function<bool(const QString &device)> isAttached;

    // The command lines of the original platform, kept as data.
    static ToolTable macTable();
    // Our root helper for every privileged step, run through pkexec unless we are root; the
    // default here.
    static ToolTable linuxTable();
    // The helper's allocation for a disk of any kind.
    static QStringList allocationArguments(const DiskFields &disk);
    // The Linux argument lists with other launch paths (an empty removal path: in-process), for
    // tools that know no kinds: every disk is made as a block disk.
    // No probes: fake devices must not be looked up on the real system; set them as needed.
    static ToolTable linuxTableWith(const QString &allocate, const QString &createFilesystem,
                                    const QString &mount, const QString &umount,
                                    const QString &detach, const QString &removeMountPath);
    // The table of the machine we run on.
    static ToolTable platformTable();

    // Where vellumar-ramdev is installed. Only root may point elsewhere, with $VELLUMAR_RAMDEV
    // naming a program that root alone can change; nothing is looked for in a build folder.
    static QString ramdevPath();
    // pkexec, which starts the helper for everyone but root.
    static QString pkexecPath();
    // The polkit action that lets a user run the helper, and the file that declares it.
    static QString policyActionId();
    static QString policyFilePath();
    // Whether the helper is started through pkexec (we are not root).
    static bool helperNeedsPkexec();
    // The row that runs `helper` with the given arguments, through pkexec when needed.
    static ToolRow helperRow(const QString &helper,
                             std::function<QStringList(const DiskFields &)> arguments,
                             bool needsDevice);
};

// Label for the file system: `name` cut to `limitBytes` bytes of UTF-8 without splitting a
// character (limitBytes 0: unchanged).
QString cutLabel(const QString &name, int limitBytes);
