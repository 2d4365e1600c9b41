#include "DiskSession.h"

#include "DesktopPlaces.h"
#include "DiskKeeper.h"
#include "DiskRules.h"
#include "EjectedElsewhere.h"
#include "KeepState.h"
#include "Localization.h"
#include "Paths.h"
#include "RememberedDisks.h"
#include "SystemLog.h"
#include "UserFolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>

namespace {

std::function<MachineMemory()> &machineMemorySource()
{
    static std::function<MachineMemory()> source;
    return source;
}

// The save before the unmount, then the teardown unless the save failed; any thread.
EjectOutcome runEject(const std::shared_ptr<RamDisk> &disk, const QString &mountPath,
                      const QString &keptFolder)
{
    EjectOutcome outcome;
    if (!keptFolder.isEmpty()) {
        outcome.save = DiskKeeper::saveBlocking(mountPath, keptFolder);
        outcome.ranSave = true;
        outcome.saved = outcome.save.succeeded;
        if (!outcome.saved)
            return outcome;
    }
    outcome.teardown = disk->tearDown();
    return outcome;
}

const char *const phaseErrors[] = {"error allocateRAM", "error createFilesystem", "error mount"};

} // namespace

DiskSession::DiskSession(QObject *parent) : QObject(parent)
{
    qRegisterMetaType<EjectOutcome>();
}

DiskSession::~DiskSession()
{
    if (m_disk)
        m_disk->setDelegate(nullptr);
}

void DiskSession::setMachineMemorySource(std::function<MachineMemory()> source)
{
    machineMemorySource() = std::move(source);
}

MachineMemory DiskSession::machineMemory()
{
    if (machineMemorySource())
        return machineMemorySource()();
    return MachineMemory::read();
}

// --- checks -----------------------------------------------------------------------------------

Refusal DiskSession::check(const DiskRequest &request)
{
    const MachineMemory memory = machineMemory();
    Plan plan;
    plan.sizeText = request.size.trimmed();
    if (Refusal refusal = DiskRules::size(request.size, memory, &plan.kib); !refusal.ok())
        return refusal;
    if (Refusal refusal = DiskRules::memory(plan.kib, memory); !refusal.ok())
        return refusal;
    plan.name = request.name.isEmpty() ? DiskRules::defaultName() : request.name;
    if (Refusal refusal = DiskRules::name(plan.name); !refusal.ok())
        return refusal;
    plan.kind = request.kind;
    plan.mountPath = Paths::expandTilde(request.mountPath);
    if (plan.mountPath.isEmpty())
        plan.mountPath = RamDisk::mountPathGenerator();
    // The path as the mount table will show it.
    if (QDir::isAbsolutePath(plan.mountPath))
        plan.mountPath = QDir::cleanPath(plan.mountPath);
    if (Refusal refusal = DiskRules::mountPath(plan.mountPath); !refusal.ok())
        return refusal;
    if (!request.keptFolder.isEmpty()) {
        if (Refusal refusal = DiskRules::keptFolder(request.keptFolder, plan.mountPath);
            !refusal.ok())
            return refusal;
        plan.keptFolder = QDir::cleanPath(Paths::expandTilde(request.keptFolder.trimmed()));
    }
    plan.remember = request.remember;
    m_plan = plan;
    return {};
}

Refusal DiskSession::finishChecks()
{
    // Nothing is made by a user who cannot make disks: the system says why.
    return DiskRules::privilege();
}

Refusal DiskSession::checkAll(const DiskRequest &request)
{
    if (Refusal refusal = check(request); !refusal.ok())
        return refusal;
    if (!m_plan.keptFolder.isEmpty()) {
        if (Refusal refusal =
                DiskRules::keptContents(m_plan.keptFolder, m_plan.kib, &m_plan.keptBytes);
            !refusal.ok())
            return refusal;
    }
    return finishChecks();
}

void DiskSession::checkThenCreate(const DiskRequest &request)
{
    if (m_checking || isActive())
        return; // a folder is being measured for a creation asked for already, or a disk is owed
    if (Refusal refusal = check(request); !refusal.ok()) {
        emit refused(refusal);
        return;
    }
    if (m_plan.keptFolder.isEmpty()) {
        if (Refusal refusal = finishChecks(); !refusal.ok())
            emit refused(refusal);
        else
            create();
        return;
    }
    // A large folder takes a while to walk: the caller stays live meanwhile.
    m_checking = true;
    emit checking(true);
    using Checked = std::pair<Refusal, qint64>;
    auto *watcher = new QFutureWatcher<Checked>(this);
    connect(watcher, &QFutureWatcher<Checked>::finished, this, [this, watcher] {
        const Checked checked = watcher->result();
        watcher->deleteLater();
        m_checking = false;
        emit checking(false);
        Refusal refusal = checked.first;
        if (refusal.ok()) {
            m_plan.keptBytes = checked.second;
            refusal = finishChecks();
        }
        if (!refusal.ok())
            emit refused(refusal);
        else
            create();
    });
    watcher->setFuture(QtConcurrent::run([folder = m_plan.keptFolder, kib = m_plan.kib] {
        qint64 bytes = -1;
        const Refusal refusal = DiskRules::keptContents(folder, kib, &bytes);
        return Checked(refusal, bytes);
    }));
}

// --- creation ---------------------------------------------------------------------------------

bool DiskSession::create()
{
    if (isActive())
        return false; // one disk a session: the owed one goes first
    emit creationStarted();
    m_mounted = false;
    if (m_disk)
        m_disk->setDelegate(nullptr);
    m_disk = std::make_shared<RamDisk>(quint32(m_plan.kib * 2), m_plan.name);
    m_disk->setDelegate(this);
    m_disk->setMountPath(m_plan.mountPath);
    m_disk->setKind(m_plan.kind);

    // A failed phase stops the creation; the steps after it are reported as not run.
    const std::function<bool()> steps[] = {[this] { return m_disk->allocateRAM(); },
                                           [this] { return m_disk->createFilesystem(); },
                                           [this] { return m_disk->mount(); }};
    for (int step = 0; step < 3; ++step) {
        if (steps[step]())
            continue;
        SystemLog::log(QLatin1String(phaseErrors[step]));
        for (int later = step + 1; later <= int(Phase::Finalize); ++later)
            emit phaseReported(Phase(later), PhaseStatus::Failed,
                               localizedStringForKey(QStringLiteral("PhaseNotRun")));
        return false;
    }
    // The folder the disk got: in the media folder the helper names it.
    m_plan.mountPath = m_disk->mountPath();
    showAmongPlaces();
    m_disk->showInFinder();
    if (m_plan.keptFolder.isEmpty())
        rememberIfAsked();
    else
        startKeeping(true);
    return true;
}

void DiskSession::showAmongPlaces()
{
    // File managers list no memory file system as a volume, wherever it is mounted: the disk's
    // folder is put among the desktop's places instead, for as long as the disk is mounted.
    if (m_plan.kind == DiskKind::Memory && !DesktopPlaces::add(m_plan.mountPath, m_plan.name))
        SystemLog::log(QStringLiteral("DiskSession: %1 could not be put among the places in %2")
                           .arg(m_plan.mountPath, DesktopPlaces::bookmarksFile()));
}

void DiskSession::rememberIfAsked()
{
    if (m_plan.remember)
        RememberedDisks::remember({m_plan.sizeText, m_plan.name, m_plan.mountPath,
                                   m_plan.keptFolder, DiskKinds::name(m_plan.kind)});
}

void DiskSession::fase(int phase, bool successful, const QString &result)
{
    if (phase == int(Phase::Mount))
        m_mounted = successful;
    emit phaseReported(Phase(phase), successful ? PhaseStatus::Done : PhaseStatus::Failed, result);
}

void DiskSession::faseNotDone(int phase, const QString &why)
{
    emit phaseReported(Phase(phase), PhaseStatus::NotDone, why);
}

// --- kept contents ----------------------------------------------------------------------------

void DiskSession::startKeeping(bool load)
{
    dropKeeper();
    m_keeper = new DiskKeeper(m_plan.mountPath, m_plan.keptFolder, this);
    connect(m_keeper, &DiskKeeper::loaded, this, &DiskSession::loadFinished);
    connect(m_keeper, &DiskKeeper::loadProgressed, this, &DiskSession::loadProgressed);
    connect(m_keeper, &DiskKeeper::saved, this, [this](const KeepResult &result) {
        emit saved(result);
        if (m_ejectWhenIdle && !m_ejecting) {
            m_ejectWhenIdle = false;
            eject(m_ejectWithoutSave);
        }
    });
    if (!load) {
        m_keeper->startSaving();
        return;
    }
    // Recorded first, so a save (and vellumarctl) knows where the disk keeps its contents. A
    // folder not made yet (the default, the first time) starts empty.
    KeepState state(m_plan.mountPath, m_plan.keptFolder);
    state.setDiskName(m_plan.name);
    state.store();
    UserFolders::makePath(m_plan.keptFolder);
    m_loading = true;
    emit loadStarted();
    m_keeper->startLoad(m_plan.keptBytes);
}

void DiskSession::loadFinished(const KeepResult &result)
{
    m_loading = false;
    if (result.succeeded) {
        m_keeper->startSaving();
        rememberIfAsked();
        emit loaded(result);
        if (m_ejectWhenIdle) {
            m_ejectWhenIdle = false;
            eject(m_ejectWithoutSave);
        }
        return;
    }
    // A partly loaded disk saved back would delete from the folder what never arrived: the disk
    // keeps nothing and goes again, the folder as it was.
    KeepState::forget(m_plan.mountPath);
    dropKeeper();
    emit loaded(result);
    m_ejectWhenIdle = false;
    eject(true);
}

bool DiskSession::waitForLoad()
{
    bool succeeded = true;
    const QMetaObject::Connection heard =
        connect(this, &DiskSession::loaded, this,
                [&succeeded](const KeepResult &result) { succeeded = result.succeeded; });
    while (m_loading || m_ejecting)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    disconnect(heard);
    return succeeded && isActive();
}

void DiskSession::dropKeeper()
{
    if (!m_keeper)
        return;
    m_keeper->stopSaving();
    m_keeper->disconnect(this);
    m_keeper->deleteLater();
    m_keeper = nullptr;
}

KeepResult DiskSession::saveNow()
{
    if (!m_keeper)
        return {
            false, {}, localizedStringForKey(QStringLiteral("KeepNotKept")).arg(m_plan.mountPath)};
    return DiskKeeper::saveBlocking(m_plan.mountPath, m_keeper->keptFolder());
}

// --- eject ------------------------------------------------------------------------------------

bool DiskSession::isActive() const
{
    return m_disk && m_disk->isMountedAndActive();
}

QString DiskSession::beginEject(bool withoutSave)
{
    m_ejecting = true;
    emit ejectStarted();
    if (!m_keeper)
        return QString();
    m_keeper->stopSaving();
    return withoutSave ? QString() : m_keeper->keptFolder();
}

void DiskSession::eject(bool withoutSave)
{
    // One teardown at a time: a second request while the worker runs is ignored.
    if (!isActive() || m_ejecting)
        return;
    if (m_keeper && m_keeper->isBusy()) {
        // The running load or save ends first; its end starts the eject again.
        m_ejectWhenIdle = true;
        m_ejectWithoutSave = withoutSave;
        return;
    }
    const QString keptFolder = beginEject(withoutSave);
    // The worker holds the disk; the watcher is the session's, so a session gone meanwhile
    // simply never hears the outcome.
    auto *watcher = new QFutureWatcher<EjectOutcome>(this);
    connect(watcher, &QFutureWatcher<EjectOutcome>::finished, this, [this, watcher] {
        const EjectOutcome outcome = watcher->result();
        watcher->deleteLater();
        ejectFinished(outcome);
    });
    watcher->setFuture(QtConcurrent::run(runEject, m_disk, m_disk->mountPath(), keptFolder));
}

EjectOutcome DiskSession::ejectBlocking(bool withoutSave)
{
    if (!m_disk || m_ejecting)
        return {};
    const QString keptFolder = beginEject(withoutSave);
    const EjectOutcome outcome = runEject(m_disk, m_disk->mountPath(), keptFolder);
    ejectFinished(outcome);
    return outcome;
}

void DiskSession::resumeSaving()
{
    if (m_keeper && !m_ejecting)
        m_keeper->startSaving();
}

void DiskSession::ejectFinished(const EjectOutcome &outcome)
{
    m_ejecting = false;
    if (m_keeper && outcome.ranSave)
        m_keeper->noteSave(outcome.save);
    if (outcome.saved) {
        const TeardownOutcome &teardown = outcome.teardown;
        if (teardown.finished && m_disk)
            DesktopPlaces::remove(m_disk->mountPath());
        if (teardown.finished && m_keeper) {
            KeepState::forget(m_keeper->mountPath());
            dropKeeper();
        } else if (m_keeper) {
            m_keeper->startSaving(); // the disk stays: so does its saving
        }
        if (!teardown.unmounted)
            SystemLog::log(QStringLiteral("DiskSession: unmounting %1 failed")
                               .arg(m_disk ? m_disk->mountPath() : QString()));
        if (teardown.finished && !teardown.removed)
            SystemLog::log(QStringLiteral("error removeMountPath"));
    }
    emit ejected(outcome);
}

// --- found disks ------------------------------------------------------------------------------

void DiskSession::adopt(const DiskInfo &disk)
{
    if (m_disk)
        m_disk->setDelegate(nullptr);
    m_disk = DiskInventory::rebuild(disk);
    m_disk->adoptMounted();
    m_disk->setDelegate(this);
    m_mounted = !disk.mountPath.isEmpty();
    m_plan = Plan();
    m_plan.kib = disk.sizeKiB;
    m_plan.name = disk.name.isEmpty() ? DiskRules::defaultName() : disk.name;
    m_plan.mountPath = disk.mountPath;
    m_plan.kind = disk.kind;
    dropKeeper();
    if (disk.mountPath.isEmpty())
        return;
    if (const std::optional<KeepState> state = KeepState::forDisk(disk.mountPath)) {
        m_plan.keptFolder = state->keptFolder();
        startKeeping(false);
    }
}

std::unique_ptr<DiskSession> DiskSession::forMountedDisk(const QString &path)
{
    const DiskInfo disk = DiskInventory::find(Paths::expandTilde(path));
    if (disk.device.isEmpty())
        return nullptr;
    auto session = std::make_unique<DiskSession>();
    session->adopt(disk);
    return session;
}

bool DiskSession::forgetEjectedElsewhere()
{
    if (!m_disk || m_ejecting || !::forgetEjectedElsewhere(*m_disk))
        return false;
    DesktopPlaces::remove(m_disk->mountPath());
    dropKeeper();
    m_mounted = false;
    return true;
}
