#pragma once

#include "DiskKind.h"
#include "Phase.h"

#include <QString>
#include <QStringList>
#include <atomic>
#include <memory>

class ToolTable;

// The text returned by the command runner when a tool cannot be started. Callers compare
// results with it by text.
extern const QString ERROR;

// Number of disks whose teardown is owed: raised when allocation starts, lowered when the
// mount folder's removal starts. Read by the quit guard.
extern std::atomic<int> anyDiskActive;

// Receiver of a disk's phase reports; `phase` is a Phase.
class RamDiskDelegate
{
public:
    virtual ~RamDiskDelegate() = default;
    virtual void fase(int phase, bool successful, const QString &result)
    {
        Q_UNUSED(phase);
        Q_UNUSED(successful);
        Q_UNUSED(result);
    }
    // A step that neither failed nor was done, and why (no file manager was asked). A delegate
    // that does not tell these apart hears a failure.
    virtual void faseNotDone(int phase, const QString &why) { fase(phase, false, why); }
};

// What one run of a tool gave.
struct CommandResult
{
    bool started = false;  // false: nothing could be run (output is ERROR)
    bool timedOut = false; // killed after the time limit
    int exitStatus = -1;
    QString output;      // standard output, untrimmed
    QString errorOutput; // standard error
    // True when the tool started, ended on its own and exited with status 0.
    bool succeeded() const { return started && !timedOut && exitStatus == 0 && output != ERROR; }
    // The tool's own words for a failure: its standard error, else its standard output, else
    // a sentence naming the exit status or the time limit.
    QString failureMessage(const QString &toolName) const;
};

// What a whole teardown did, for the window and the command line alike.
struct TeardownOutcome
{
    bool unmounted = false;
    QString detachAnswer; // the detach tool's answer, or the reason detaching did not run
    bool removed = false;
    bool finished = false; // the disk is inactive and uncounted now
    QString userText;      // what to show the user
};

// Model and driver of one RAM disk: allocates memory, formats, mounts, shows, and tears down,
// each step by running the tool named in the current tool table.
class RamDisk
{
public:
    // initWithDiskBlockSize:diskName: on macOS makes sure the support folder exists; no tool runs.
    RamDisk(quint32 diskBlockSize, const QString &diskName);
    ~RamDisk();
    RamDisk(const RamDisk &) = delete;
    RamDisk &operator=(const RamDisk &) = delete;

    // A fresh mount folder path under the "MountPath" location; every call uses a number. On
    // Linux the default location gives the user's media folder ("/media/<user>/"): a disk given
    // it asks the helper for a folder there named after the disk, and takes the folder the
    // helper answers with as its mount path.
    static QString mountPathGenerator();

    quint32 diskBlockSize() const;
    void setDiskBlockSize(quint32 blocks);
    QString device() const; // null until allocation printed one
    void setDevice(const QString &device);
    // The identity the memory tool gave the disk beside its device (empty when it gave none):
    // the device name alone may belong to another disk once this one is gone.
    QString diskId() const;
    void setDiskId(const QString &id);
    QString mountPath() const; // null until given or generated
    void setMountPath(const QString &path);
    QString diskName() const;
    void setDiskName(const QString &name);
    // What the disk is made of (set before allocateRAM; memory unless set).
    DiskKind kind() const;
    void setKind(DiskKind kind);
    RamDiskDelegate *delegate() const; // not owned: the delegate owns the disk
    void setDelegate(RamDiskDelegate *delegate);
    bool isMountedAndActive() const;
    // True when mount() made the mount folder (teardown only removes folders it made).
    bool madeMountFolder() const;
    // For a disk rebuilt from what the system shows (an eject from another process): whether
    // its mount folder was made for it and may go once it is empty.
    void setMadeMountFolder(bool made);
    // For a disk rebuilt from what the system shows that this process now looks after: it is
    // owed a teardown from here on, as if this process had made it.
    void adoptMounted();

    // Creation, on the main thread, each sending one phase report before returning.
    bool allocateRAM();
    bool createFilesystem();
    bool mount();
    // Asks the desktop's file manager to show the disk. Its report is done only when a file
    // manager took the request; true unless the disk has no mount folder.
    bool showInFinder();

    // Teardown steps, on a worker thread.
    bool umount();
    QString detach();
    bool removeMountPath();

    // One teardown per disk at a time: the first caller gets true until it calls
    // endTeardown(); every other caller meanwhile gets false.
    bool beginTeardown();
    void endTeardown();
    // umount, detach and removeMountPath in order, stopping while the volume is still mounted
    // or the memory device still attached, so nothing is lost and the disk stays owed.
    TeardownOutcome tearDown();

    // The command runner: the tool's standard output, or ERROR when it cannot be started.
    QString launchCommand(const QString &launchPath, const QStringList &arguments);
    CommandResult runCommand(const QString &launchPath, const QStringList &arguments);
    // The same for work that belongs to no disk: nothing is logged.
    static CommandResult runTool(const QString &launchPath, const QStringList &arguments);

    void createApplicationSupportFolder(); // macOS only: Linux makes nothing in the home
    void errorCreatingDisk(const QString &message);
    void sendFaseToDelegate(int phase, bool successful, const QString &result);

    // Why disks cannot be made by this user now, in one sentence; empty when they can. Asks the
    // system (one call of the helper) and may show the system's authentication dialog.
    static QString privilegeProblem();

    // The tools used by every disk made afterwards (tests install fake ones).
    static void setToolTable(std::shared_ptr<const ToolTable> table);
    static std::shared_ptr<const ToolTable> toolTable();
    // Time after which a running tool is killed (120 s unless a test shortens it).
    static void setCommandTimeLimitMs(int milliseconds);
    static int commandTimeLimitMs();

private:
    // Whether this disk is made and mounted by its allocation alone (a memory disk).
    bool mountsOnAllocation() const;
    // Whether the volume on `path` is this disk's, as far as the tool table's probes can tell.
    bool ourVolumeIsOn(const QString &path) const;

    struct Private;
    std::unique_ptr<Private> d;
};
