#include "RamDisk.h"

#include "Localization.h"
#include "MediaLocation.h"
#include "MountLocation.h"
#include "MountPathPolicy.h"
#include "NotificationCenter.h"
#include "Paths.h"
#include "Settings.h"
#include "SystemLog.h"
#include "ToolTable.h"
#include "Workspace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QProcess>
#include <csignal>
#include <mutex>
#include <pwd.h>
#include <unistd.h>

const QString ERROR = QStringLiteral("QVX Error");
std::atomic<int> anyDiskActive{0};

namespace {

std::atomic<int> diskSequentialID{0};
std::atomic<int> timeLimitMs{120000};

QMutex &tableMutex()
{
    static QMutex mutex;
    return mutex;
}

std::shared_ptr<const ToolTable> &installedTable()
{
    static std::shared_ptr<const ToolTable> table;
    return table;
}

#ifdef Q_OS_MACOS
// Folders made in the user's home while running as root (sudo) belong to the user.
void giveToInvokingUser(const QString &path)
{
    if (geteuid() != 0)
        return;
    const Paths::Owner owner = Paths::invokingUser();
    const passwd *user = owner.uid != 0 ? getpwuid(owner.uid) : nullptr;
    // Only inside that user's own home: root's home stays root's.
    if (user && path.startsWith(QString::fromLocal8Bit(user->pw_dir) + QLatin1Char('/'))) {
        const QByteArray name = QFile::encodeName(path);
        if (::chown(name.constData(), owner.uid, owner.gid) != 0)
            SystemLog::log(QStringLiteral("Warning: cannot give %1 to its user").arg(path));
    }
}
#endif

void logError(const QString &message)
{
    SystemLog::log(QStringLiteral("Error: %1").arg(message));
}

QString toolName(const QString &launchPath)
{
    return QFileInfo(launchPath).fileName();
}

} // namespace

namespace {
constexpr int killedToolGraceMs = 30000;
}

CommandResult RamDisk::runTool(const QString &launchPath, const QStringList &arguments)
{
    CommandResult result;
    QProcess process;
    process.setProgram(launchPath);
    process.setArguments(arguments);
    // No tool may wait for input that never comes.
    process.setStandardInputFile(QProcess::nullDevice());
    // A group of its own, so that a tool killed after the time limit takes its children along.
    process.setChildProcessModifier([] { setpgid(0, 0); });
    process.start();
    if (!process.waitForStarted(-1)) {
        result.output = ERROR;
        result.errorOutput = process.errorString();
        return result;
    }
    result.started = true;
    if (!process.waitForFinished(RamDisk::commandTimeLimitMs())) {
        const qint64 pid = process.processId();
        if (pid > 0)
            ::kill(-pid_t(pid), SIGKILL);
        process.kill();
        // A helper that runs as root cannot be killed from here; it ends itself within its own
        // limits (its lock wait and its folder walk), so this wait is bounded too.
        process.waitForFinished(killedToolGraceMs);
        result.timedOut = true;
    }
    result.exitStatus = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.output = QString::fromUtf8(process.readAllStandardOutput());
    result.errorOutput = QString::fromUtf8(process.readAllStandardError());
    return result;
}

namespace {

#ifdef Q_OS_MACOS
void makeSupportFolder()
{
    // Without a home folder the support folder would land at the root of the file system.
    const QString home = QDir::cleanPath(QDir::homePath());
    if (home.isEmpty() || home == QStringLiteral("/") || !QFileInfo(home).isDir()) {
        logError(QStringLiteral("no home folder, so no support folder was made"));
        return;
    }
    // A fresh Linux home has no ~/Library: the missing levels above the support folder are made
    // too, or the default mount location could never be used.
    const QString parent = Paths::expandTilde(QStringLiteral("~/Library/Application Support/"));
    if (!QFileInfo::exists(parent)) {
        const QString library = Paths::expandTilde(QStringLiteral("~/Library"));
        const bool hadLibrary = QFileInfo::exists(library);
        if (QDir().mkpath(parent)) {
            if (!hadLibrary)
                giveToInvokingUser(library);
            giveToInvokingUser(parent);
        } else {
            logError(QStringLiteral("impossible to create directory 1"));
        }
    }
    const QString folder =
        Paths::expandTilde(QStringLiteral("~/Library/Application Support/Vellumar"));
    if (!QFileInfo::exists(folder)) {
        if (QDir().mkdir(folder))
            giveToInvokingUser(folder);
        else
            logError(QStringLiteral("impossible to create directory 2"));
    }
}
#endif

// The last line the helper printed: the folder it mounted the disk on.
QString lastLine(const QString &output)
{
    return output.trimmed().section(QLatin1Char('\n'), -1).trimmed();
}

// pkexec answers for itself with 126 (the user dismissed the authentication) and 127 (not
// authorised, or the helper could not be started); the helper's own statuses are 0 to 2.
bool refusedByPkexec(const QString &launchPath, const CommandResult &run)
{
    return launchPath == ToolTable::pkexecPath() && run.started && !run.timedOut &&
           (run.exitStatus == 126 || run.exitStatus == 127);
}

QString pkexecRefusal(const CommandResult &run)
{
    const QString words = run.errorOutput.trimmed();
    if (run.exitStatus == 126)
        return localizedStringForKey(QStringLiteral("PrivilegeDismissed"));
    return localizedStringForKey(QStringLiteral("PrivilegeRefused"))
        .arg(ToolTable::policyActionId(), words);
}

// The helper's words without its name in front.
QString withoutHelperName(QString words)
{
    const QString prefix = QStringLiteral("vellumar-ramdev: ");
    QStringList lines = words.trimmed().split(QLatin1Char('\n'));
    for (QString &line : lines) {
        if (line.startsWith(prefix))
            line = line.mid(prefix.size());
    }
    return lines.join(QLatin1Char('\n'));
}

// A failed step in one sentence, the tool's own words after it.
QString stepFailure(const ToolRow &row, const CommandResult &run)
{
    if (!run.started)
        return ERROR;
    if (refusedByPkexec(row.launchPath, run))
        return pkexecRefusal(run);
    return withoutHelperName(run.failureMessage(toolName(row.launchPath)));
}

} // namespace

QString CommandResult::failureMessage(const QString &toolName) const
{
    if (!started)
        return ERROR;
    if (timedOut)
        return localizedStringForKey(QStringLiteral("ToolTimedOut"))
            .arg(toolName)
            .arg(RamDisk::commandTimeLimitMs() / 1000);
    if (!errorOutput.trimmed().isEmpty())
        return errorOutput.trimmed();
    if (!output.trimmed().isEmpty())
        return output.trimmed();
    return localizedStringForKey(QStringLiteral("ToolExitStatus")).arg(toolName).arg(exitStatus);
}

struct RamDisk::Private
{
    std::shared_ptr<const ToolTable> table;
    mutable QMutex mutex; // guards the strings: the teardown thread reads them
    quint32 diskBlockSize = 0;
    QString device;
    QString diskId;
    QString mountPath;
    QString diskName;
    // Made without a kind, a disk is a block disk as before kinds existed; the front ends ask
    // for memory disks unless told otherwise.
    DiskKind kind = DiskKind::Block;
    RamDiskDelegate *delegate = nullptr;
    std::atomic<bool> isMountedAndActive{false};
    std::atomic<bool> tearingDown{false};
    std::atomic<bool> madeMountFolder{false};
    // The helper made the folder in the user's media folder: it removes it, never we.
    std::atomic<bool> helperFolder{false};
    std::atomic<bool> detached{false}; // the last detach run released the device
    // Set when mount() failed: whatever is mounted on the path then is not ours to unmount.
    std::atomic<bool> mountFailed{false};
    QString umountFailure; // the unmount tool's words when it refused, under `mutex`

    DiskFields fields() const
    {
        QMutexLocker lock(&mutex);
        const Paths::Owner owner = Paths::invokingUser();
        // The default place is asked for by the disk's name; the helper answers with the folder.
        const QString folder = MediaLocation::isDefault(mountPath)
                                   ? MediaLocation::request(mountPath, diskName)
                                   : mountPath;
        return {
            diskBlockSize, device,    diskId, folder, cutLabel(diskName, table->labelLimitBytes),
            owner.uid,     owner.gid, kind};
    }
};

RamDisk::RamDisk(quint32 diskBlockSize, const QString &diskName) : d(std::make_unique<Private>())
{
    d->table = toolTable();
    setDiskBlockSize(diskBlockSize);
    setDiskName(diskName);
    createApplicationSupportFolder();
}

RamDisk::~RamDisk() = default;

QString RamDisk::mountPathGenerator()
{
    const QString location = Settings::mountLocation();
#ifdef Q_OS_MACOS
    // The default location is ours to make; a path under it must be usable right away.
    if (location == DefaultMountPathLocation)
        makeSupportFolder();
#else
    // Disks appear where the desktop shows volumes, in folders the helper names after them.
    if (Settings::isDefaultMountLocation(location))
        return MediaLocation::folder() + QLatin1Char('/');
#endif
    const int number = ++diskSequentialID;
    // The location is taken literally: it is never used as a format.
    const QString path = location + QStringLiteral("/ramdisk") + QString::number(getpid()) +
                         QLatin1Char('.') + QString::number(number);
    return Paths::expandTilde(path);
}

quint32 RamDisk::diskBlockSize() const
{
    QMutexLocker lock(&d->mutex);
    return d->diskBlockSize;
}

void RamDisk::setDiskBlockSize(quint32 blocks)
{
    QMutexLocker lock(&d->mutex);
    d->diskBlockSize = blocks;
}

DiskKind RamDisk::kind() const
{
    QMutexLocker lock(&d->mutex);
    return d->kind;
}

void RamDisk::setKind(DiskKind kind)
{
    QMutexLocker lock(&d->mutex);
    d->kind = kind;
}

QString RamDisk::device() const
{
    QMutexLocker lock(&d->mutex);
    return d->device;
}

void RamDisk::setDevice(const QString &device)
{
    QMutexLocker lock(&d->mutex);
    d->device = device;
}

QString RamDisk::diskId() const
{
    QMutexLocker lock(&d->mutex);
    return d->diskId;
}

void RamDisk::setDiskId(const QString &id)
{
    QMutexLocker lock(&d->mutex);
    d->diskId = id;
}

QString RamDisk::mountPath() const
{
    QMutexLocker lock(&d->mutex);
    return d->mountPath;
}

void RamDisk::setMountPath(const QString &path)
{
    QMutexLocker lock(&d->mutex);
    d->mountPath = path;
}

QString RamDisk::diskName() const
{
    QMutexLocker lock(&d->mutex);
    return d->diskName;
}

void RamDisk::setDiskName(const QString &name)
{
    QMutexLocker lock(&d->mutex);
    d->diskName = name;
}

RamDiskDelegate *RamDisk::delegate() const
{
    QMutexLocker lock(&d->mutex);
    return d->delegate;
}

void RamDisk::setDelegate(RamDiskDelegate *delegate)
{
    QMutexLocker lock(&d->mutex);
    d->delegate = delegate;
}

bool RamDisk::isMountedAndActive() const
{
    return d->isMountedAndActive.load();
}

bool RamDisk::madeMountFolder() const
{
    return d->madeMountFolder.load();
}

void RamDisk::setMadeMountFolder(bool made)
{
    d->madeMountFolder = made;
}

void RamDisk::adoptMounted()
{
    if (!d->isMountedAndActive.exchange(true))
        ++anyDiskActive;
}

// --- command runner ---------------------------------------------------------------------------

CommandResult RamDisk::runCommand(const QString &launchPath, const QStringList &arguments)
{
    const CommandResult result = runTool(launchPath, arguments);
    if (!result.started)
        errorCreatingDisk(QStringLiteral("Error Executing Command:%1 err:%2")
                              .arg(launchPath, result.errorOutput));
    return result;
}

QString RamDisk::launchCommand(const QString &launchPath, const QStringList &arguments)
{
    return runCommand(launchPath, arguments).output;
}

void RamDisk::createApplicationSupportFolder()
{
#ifdef Q_OS_MACOS
    makeSupportFolder();
#endif
}

void RamDisk::errorCreatingDisk(const QString &message)
{
    logError(message);
}

void RamDisk::sendFaseToDelegate(int phase, bool successful, const QString &result)
{
    if (RamDiskDelegate *receiver = delegate())
        receiver->fase(phase, successful, result);
}

// --- creation ---------------------------------------------------------------------------------

bool RamDisk::allocateRAM()
{
    if (mountPath().isNull())
        setMountPath(mountPathGenerator());
    // Owed a teardown from here on, whatever the tool does.
    if (!d->isMountedAndActive.exchange(true))
        ++anyDiskActive;

    const bool mounts = mountsOnAllocation();
    const bool requested = MediaLocation::isDefault(mountPath());
    bool made = false;
    if (mounts && !requested) {
        const QString problem = mountPathProblem(mountPath());
        if (!problem.isEmpty()) {
            sendFaseToDelegate(int(Phase::Allocate), false, problem);
            return false;
        }
        made = !QFileInfo::exists(mountPath());
    }
    // Until the helper answers, a volume on the folder is not ours to unmount.
    if (mounts)
        d->mountFailed = true;
    const ToolRow &row = d->table->allocate;
    const CommandResult run = runCommand(row.launchPath, row.arguments(d->fields()));
    if (!run.succeeded()) {
        sendFaseToDelegate(int(Phase::Allocate), false, stepFailure(row, run));
        return false;
    }
    // The device on the first line; the disk's identity, when the tool gives one, on the next.
    const QStringList lines = run.output.trimmed().split(QLatin1Char('\n'));
    const QString device = lines.value(0).trimmed();
    setDiskId(lines.value(1).trimmed());
    if (device.isEmpty()) {
        sendFaseToDelegate(
            int(Phase::Allocate), false,
            localizedStringForKey(QStringLiteral("NoDevicePrinted")).arg(toolName(row.launchPath)));
        return false;
    }
    setDevice(device);
    if (mounts) {
        d->madeMountFolder = made;
        d->mountFailed = false;
    }
    // The folder the helper made for the disk, on the third line.
    if (mounts && requested && !lines.value(2).trimmed().isEmpty()) {
        setMountPath(lines.value(2).trimmed());
        d->helperFolder = true;
    }
    sendFaseToDelegate(int(Phase::Allocate), true, device);
    return true;
}

bool RamDisk::mountsOnAllocation() const
{
    return d->table->memoryDisksMountOnAllocation && kind() == DiskKind::Memory;
}

bool RamDisk::createFilesystem()
{
    if (mountsOnAllocation()) {
        const bool made = !device().isEmpty();
        sendFaseToDelegate(int(Phase::Build), made,
                           localizedStringForKey(made ? QStringLiteral("NoFileSystemNeeded")
                                                      : QStringLiteral("NoDeviceToFormat")));
        return made;
    }
    const ToolRow &row = d->table->createFilesystem;
    if (row.needsDevice && device().isEmpty()) {
        sendFaseToDelegate(int(Phase::Build), false,
                           localizedStringForKey(QStringLiteral("NoDeviceToFormat")));
        return false;
    }
    const DiskFields fields = d->fields();
    const CommandResult run = runCommand(row.launchPath, row.arguments(fields));
    if (!run.succeeded()) {
        sendFaseToDelegate(int(Phase::Build), false, stepFailure(row, run));
        return false;
    }
    QString result = run.output;
    if (fields.label != diskName()) {
        if (!result.isEmpty() && !result.endsWith(QLatin1Char('\n')))
            result += QLatin1Char('\n');
        result += localizedStringForKey(QStringLiteral("LabelCut"))
                      .arg(d->table->labelLimitBytes)
                      .arg(fields.label);
    }
    sendFaseToDelegate(int(Phase::Build), true, result);
    return true;
}

bool RamDisk::mount()
{
    const QString path = mountPath();
    if (mountsOnAllocation()) {
        // Mounted by the allocation already, or not at all.
        if (device().isEmpty()) {
            sendFaseToDelegate(int(Phase::Mount), false,
                               localizedStringForKey(QStringLiteral("NoDeviceToMount")));
            return false;
        }
        NotificationCenter::shared().post(Workspace::didMountNotification,
                                          {{Workspace::devicePathKey, path}});
        sendFaseToDelegate(int(Phase::Mount), true, path);
        return true;
    }
    d->mountFailed = true;
    const bool requested = MediaLocation::isDefault(path);
    const QString problem = requested ? QString() : mountPathProblem(path);
    if (!problem.isEmpty()) {
        sendFaseToDelegate(int(Phase::Mount), false, problem);
        return false;
    }
    const ToolRow &row = d->table->mount;
    if (row.needsDevice && device().isEmpty()) {
        sendFaseToDelegate(int(Phase::Mount), false,
                           localizedStringForKey(QStringLiteral("NoDeviceToMount")));
        return false;
    }
    bool made = false;
    if (requested) {
        // The helper makes the folder in the media folder, and removes it again itself.
    } else if (d->table->mountMakesFolder) {
        // The tool makes the folder, and removes it again when it cannot mount there.
        made = !QFileInfo::exists(path);
    } else if (!QFileInfo::exists(path)) {
        if (!QDir().mkdir(path)) {
            errorCreatingDisk(QStringLiteral("impossible to create directory"));
            sendFaseToDelegate(int(Phase::Mount), false,
                               QStringLiteral("impossible to create mount directory"));
            return false;
        }
        made = true;
    }
    d->madeMountFolder = made;
    const CommandResult run = runCommand(row.launchPath, row.arguments(d->fields()));
    if (!run.succeeded()) {
        // Nothing was mounted there before the tool ran: a volume there now (a mount killed
        // after its time limit) is ours and must be unmounted at teardown.
        if (!requested && ourVolumeIsOn(path))
            d->mountFailed = false;
        // Leave nothing half-made: the folder goes again if it is ours and still empty.
        else if (d->table->mountMakesFolder || (made && QDir().rmdir(path)))
            d->madeMountFolder = false;
        sendFaseToDelegate(int(Phase::Mount), false, stepFailure(row, run));
        return false;
    }
    d->mountFailed = false;
    if (requested && !lastLine(run.output).isEmpty()) {
        setMountPath(lastLine(run.output));
        d->helperFolder = true;
    }
    NotificationCenter::shared().post(Workspace::didMountNotification,
                                      {{Workspace::devicePathKey, mountPath()}});
    sendFaseToDelegate(int(Phase::Mount), true, mountPath());
    return true;
}

bool RamDisk::showInFinder()
{
    const QString path = mountPath();
    if (path.isEmpty()) {
        sendFaseToDelegate(int(Phase::Finalize), false, QString());
        return false;
    }
    const Workspace::Shown shown = Workspace::shared().showFolder(path);
    Workspace::shared().activateApplication();
    if (shown.asked && shown.accepted) {
        sendFaseToDelegate(int(Phase::Finalize), true, shown.how);
    } else if (!shown.asked) {
        if (RamDiskDelegate *receiver = delegate())
            receiver->faseNotDone(int(Phase::Finalize), shown.how);
    } else {
        sendFaseToDelegate(int(Phase::Finalize), false, shown.how);
    }
    return true;
}

// --- teardown ---------------------------------------------------------------------------------

bool RamDisk::umount()
{
    // Never unmount what another program mounted on a path we were refused.
    if (d->mountFailed.load())
        return true;
    const ToolRow &row = d->table->umount;
    const CommandResult run = runCommand(row.launchPath, row.arguments(d->fields()));
    QMutexLocker lock(&d->mutex);
    d->umountFailure = run.started && !run.succeeded() ? stepFailure(row, run) : QString();
    return run.started;
}

QString RamDisk::detach()
{
    const ToolRow &row = d->table->detach;
    if (row.needsDevice && device().isEmpty())
        return localizedStringForKey(QStringLiteral("NoDeviceToDetach"));
    const CommandResult run = runCommand(row.launchPath, row.arguments(d->fields()));
    if (!run.started)
        return QStringLiteral("Error occurred 181");
    if (!run.succeeded())
        return stepFailure(row, run);
    d->detached = true;
    return run.output;
}

bool RamDisk::removeMountPath()
{
    // Uncounted exactly once, however often this runs.
    if (d->isMountedAndActive.exchange(false))
        --anyDiskActive;

    const QString path = mountPath();
    // A folder we did not make is the user's: it stays as it was. One the helper made in the
    // media folder is the helper's to remove (it did so at unmount).
    if (!d->madeMountFolder.load() || path.isEmpty() || d->helperFolder.load() ||
        MediaLocation::holds(path))
        return true;
    if (!QFileInfo(path).isDir()) {
        d->madeMountFolder = false;
        return true;
    }
    if (d->table->isMounted && d->table->isMounted(path)) {
        // Someone's volume is on the folder: removing it is not ours to do.
        SystemLog::log(QStringLiteral("Warning: removeMountPath: %1").arg(path));
        return false;
    }
    const ToolRow &row = d->table->removeMountPath;
    if (row.launchPath.isEmpty()) {
        // Only an empty folder goes, and never across a mount point.
        if (!QDir().rmdir(path)) {
            SystemLog::log(QStringLiteral("Warning: removeMountPath: %1").arg(path));
            return false;
        }
        d->madeMountFolder = false;
        return true;
    }
    const CommandResult run = runCommand(row.launchPath, row.arguments(d->fields()));
    if (!run.started)
        return false;
    if (!run.output.isEmpty() || !run.succeeded()) {
        SystemLog::log(QStringLiteral("Warning: removeMountPath: %1").arg(path));
        return false;
    }
    d->madeMountFolder = false;
    return true;
}

bool RamDisk::ourVolumeIsOn(const QString &path) const
{
    if (d->table->isMountedFrom)
        return d->table->isMountedFrom(path, device());
    return d->table->isMounted && d->table->isMounted(path);
}

bool RamDisk::beginTeardown()
{
    return !d->tearingDown.exchange(true);
}

void RamDisk::endTeardown()
{
    d->tearingDown = false;
}

TeardownOutcome RamDisk::tearDown()
{
    TeardownOutcome outcome;
    if (!beginTeardown()) {
        outcome.userText = localizedStringForKey(QStringLiteral("TeardownAlreadyRunning"));
        return outcome;
    }
    const QString path = mountPath();
    const QString dev = device();
    const ToolTable &table = *d->table;

    outcome.unmounted = umount();
    QString refusal;
    {
        QMutexLocker lock(&d->mutex);
        refusal = d->umountFailure;
    }
    // A refused unmount stops the teardown: the memory goes only after its volume is gone.
    if (!refusal.isEmpty() || (!d->mountFailed.load() && !path.isEmpty() && ourVolumeIsOn(path))) {
        outcome.unmounted = false;
        outcome.userText =
            refusal.isEmpty()
                ? localizedStringForKey(QStringLiteral("StillMounted")).arg(path)
                : localizedStringForKey(QStringLiteral("UnmountRefused")).arg(path, refusal);
        endTeardown();
        return outcome;
    }

    // Once the helper has said the device is released, the same name may already belong to a
    // new disk made meanwhile: only a refused detach is checked against the system.
    d->detached = false;
    outcome.detachAnswer = detach();
    if (!d->detached.load() && !dev.isEmpty() && table.isAttached && table.isAttached(dev)) {
        outcome.userText = localizedStringForKey(QStringLiteral("StillAttached"))
                               .arg(dev, outcome.detachAnswer.trimmed());
        endTeardown();
        return outcome;
    }

    outcome.removed = removeMountPath();
    outcome.finished = true;
    outcome.userText = outcome.detachAnswer;
    endTeardown();
    return outcome;
}

// --- privilege --------------------------------------------------------------------------------

QString RamDisk::privilegeProblem()
{
    const std::shared_ptr<const ToolTable> table = toolTable();
    // Only the helper through pkexec needs checking: root runs it directly, and a table of
    // other tools (another platform, a test's) has nothing to ask.
    if (table->allocate.launchPath != ToolTable::pkexecPath()) {
        if (table->allocate.launchPath == ToolTable::ramdevPath() &&
            !QFileInfo(table->allocate.launchPath).isExecutable())
            return localizedStringForKey(QStringLiteral("HelperMissing"))
                .arg(table->allocate.launchPath);
        return QString();
    }
    const QString helper = ToolTable::ramdevPath();
    if (!QFileInfo(ToolTable::pkexecPath()).isExecutable())
        return localizedStringForKey(QStringLiteral("PkexecMissing"));
    if (!QFileInfo(helper).isExecutable())
        return localizedStringForKey(QStringLiteral("HelperMissing")).arg(helper);
    if (!QFileInfo::exists(ToolTable::policyFilePath()))
        return localizedStringForKey(QStringLiteral("PolicyMissing"))
            .arg(ToolTable::policyFilePath());
    const ToolRow row = ToolTable::helperRow(
        helper, [](const DiskFields &) { return QStringList{QStringLiteral("check")}; }, false);
    const CommandResult run = runTool(row.launchPath, row.arguments({}));
    if (run.succeeded())
        return QString();
    if (refusedByPkexec(row.launchPath, run))
        return pkexecRefusal(run);
    return localizedStringForKey(QStringLiteral("HelperFailed"))
        .arg(run.failureMessage(toolName(helper)));
}

// --- configuration ----------------------------------------------------------------------------

void RamDisk::setToolTable(std::shared_ptr<const ToolTable> table)
{
    QMutexLocker lock(&tableMutex());
    installedTable() = std::move(table);
}

std::shared_ptr<const ToolTable> RamDisk::toolTable()
{
    QMutexLocker lock(&tableMutex());
    if (!installedTable())
        installedTable() = std::make_shared<const ToolTable>(ToolTable::platformTable());
    return installedTable();
}

void RamDisk::setCommandTimeLimitMs(int milliseconds)
{
    timeLimitMs = milliseconds;
}

int RamDisk::commandTimeLimitMs()
{
    return timeLimitMs.load();
}
