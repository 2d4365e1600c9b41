#pragma once

#include "DiskInventory.h"
#include "DiskRequest.h"
#include "KeptContents.h"
#include "MachineMemory.h"
#include "Phase.h"
#include "RamDisk.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class DiskKeeper;

// What an eject did: the save before the unmount, then the teardown unless the save failed.
struct EjectOutcome
{
    bool saved = true;    // no save was due, or it completed
    bool ranSave = false; // `save` holds a save's result
    KeepResult save;
    TeardownOutcome teardown;
};

// One disk's life, below the window and the command line: its request checked fact by fact
// (DiskRules), the disk made with its phases reported, its kept folder loaded and saved, its
// eject with the save first, and a disk found mounted taken over. A disk whose kept folder
// fails to load is ejected again, and a disk is remembered for login only once it is complete.
// Lives on the main thread; the slow parts (measuring a kept folder, the eject) run in workers
// in the asynchronous calls and in the caller's thread in the blocking ones.
class DiskSession : public QObject, public RamDiskDelegate
{
    Q_OBJECT

public:
    // The request as the session makes it: defaults filled in, paths expanded, size read.
    struct Plan
    {
        QString sizeText;
        qint64 kib = 0;
        QString name;
        QString mountPath;
        DiskKind kind = DiskKinds::defaultKind;
        QString keptFolder; // empty: keeps nothing
        qint64 keptBytes = -1;
        bool remember = false;
    };

    explicit DiskSession(QObject *parent = nullptr);
    ~DiskSession() override;

    // Where the rules read the machine's memory (tests feed fixed figures); an empty function
    // goes back to /proc/meminfo.
    static void setMachineMemorySource(std::function<MachineMemory()> source);
    static MachineMemory machineMemory();

    // The rules that need no walk of a folder nor the helper, in this order: size, memory,
    // name, mount path, kept folder (form and owner). Fills plan() when they pass.
    Refusal check(const DiskRequest &request);
    // Every rule, kept contents and privilege included, in the calling thread.
    Refusal checkAll(const DiskRequest &request);
    // check(), then the kept contents (in a worker) and the privilege; then create(). A refusal
    // is reported through refused(); without a kept folder all of it runs before returning.
    void checkThenCreate(const DiskRequest &request);
    bool isChecking() const { return m_checking; }
    const Plan &plan() const { return m_plan; }

    // Makes the planned disk: its phases run before this returns, each reported by phase();
    // a kept folder is then loaded (loaded() when done). False when a phase failed.
    bool create();
    // For the command line: waits for the load create() started; true when it succeeded (or
    // there was none).
    bool waitForLoad();

    // Ejects, saving a kept disk first (not with `withoutSave`). ejectStarted() at once, then
    // ejected() from the worker's end. A load or save under way ends first.
    void eject(bool withoutSave = false);
    // The same in the calling thread.
    EjectOutcome ejectBlocking(bool withoutSave = false);
    bool isEjecting() const { return m_ejecting; }
    // After an eject stopped by a failed save that the user did not override: saving goes on.
    void resumeSaving();

    // Takes over a disk of the user's found mounted: it is owed an eject from here on, and a
    // kept one resumes its saving.
    void adopt(const DiskInfo &disk);
    // The disk mounted on (or attached as) `path`, taken over; null when it is not ours.
    static std::unique_ptr<DiskSession> forMountedDisk(const QString &path);

    std::shared_ptr<RamDisk> disk() const { return m_disk; }
    // The disk is owed an eject (made, even partly, and not ejected yet).
    bool isActive() const;
    // Another program ejected the disk: it stops counting and keeping, and no tool runs. False
    // while our own eject runs or when there is no active disk.
    bool forgetEjectedElsewhere();
    // The mount phase succeeded (or the disk was found mounted).
    bool isMounted() const { return m_mounted; }
    // The keeper of a kept disk; null when it keeps nothing.
    DiskKeeper *keeper() const { return m_keeper; }
    // Saves a kept disk now, in the calling thread.
    KeepResult saveNow();

    // RamDiskDelegate
    void fase(int phase, bool successful, const QString &result) override;
    void faseNotDone(int phase, const QString &why) override;

signals:
    void refused(const Refusal &refusal);
    // A kept folder is being measured before the creation (true), or that ended (false).
    void checking(bool busy);
    // The phases are about to run for the planned disk.
    void creationStarted();
    void phaseReported(Phase phase, PhaseStatus status, const QString &text);
    void loadStarted();
    void loadProgressed(int percent);
    void loaded(const KeepResult &result);
    // A kept disk's periodic save ended.
    void saved(const KeepResult &result);
    void ejectStarted();
    void ejected(const EjectOutcome &outcome);

private:
    Refusal finishChecks(); // privilege, after the kept contents
    void startKeeping(bool load);
    void loadFinished(const KeepResult &result);
    void dropKeeper();
    void ejectFinished(const EjectOutcome &outcome);
    void showAmongPlaces();
    // Marks the eject begun and stops the saving; the kept folder to save into first (none:
    // no save).
    QString beginEject(bool withoutSave);
    void rememberIfAsked();

    Plan m_plan;
    std::shared_ptr<RamDisk> m_disk;
    DiskKeeper *m_keeper = nullptr;
    bool m_checking = false;
    bool m_mounted = false;
    bool m_ejecting = false;
    bool m_ejectWhenIdle = false; // an eject waits for the running load or save
    bool m_ejectWithoutSave = false;
    bool m_loading = false;
};

Q_DECLARE_METATYPE(EjectOutcome)
