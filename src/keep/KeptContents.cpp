#include "KeptContents.h"

#include "KeepState.h"
#include "KeptFolder.h"
#include "Localization.h"
#include "Paths.h"
#include "RsyncMessages.h"
#include "UserFolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>
#include <csignal>
#include <grp.h>
#include <pwd.h>
#include <unistd.h>

namespace {

const QString rsyncProgram = QStringLiteral("rsync");

// rsync's exit status for source files that vanished while it ran: the disk changed during
// the save, and what it held at the end was saved.
constexpr int vanishedSourceFiles = 24;

// The user whose copy this is: the one root works for, else this process's own.
Paths::Owner copyingUser()
{
    if (geteuid() == 0)
        return Paths::invokingUser();
    return {uint(geteuid()), uint(getegid())};
}

QString userName(uint uid)
{
    const passwd *entry = getpwuid(uid);
    return entry ? QString::fromLocal8Bit(entry->pw_name) : QString::number(uid);
}

QString withSlash(const QString &folder)
{
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

// Whether a process of `group` still runs; zombies (which nobody may ever collect in a
// container) do not count.
bool groupRuns(pid_t group)
{
    const QStringList processes = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString &process : processes) {
        QFile stat(QStringLiteral("/proc/") + process + QStringLiteral("/stat"));
        if (process.toInt() <= 0 || !stat.open(QIODevice::ReadOnly))
            continue;
        // "pid (name) state ppid pgrp ...": the name may hold spaces, so read after ')'.
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 2 && fields.at(2).toInt() == group && fields.at(0) != "Z")
            return true;
    }
    return false;
}

// A killed rsync leaves the processes it forked writing on their own: they go too, and the
// step ends only once none is left, so no later save meets them.
void stopProcessGroup(pid_t group)
{
    if (group <= 0)
        return;
    ::kill(-group, SIGKILL);
    QElapsedTimer waited;
    waited.start();
    while (groupRuns(group) && waited.elapsed() < 10000)
        QThread::msleep(5);
}

} // namespace

KeptContents::KeptContents(const QString &mountPath, const QString &keptFolder, QObject *parent)
    : QObject(parent), m_mountPath(QDir::cleanPath(mountPath)),
      m_keptFolder(QDir::cleanPath(keptFolder))
{
}

KeptContents::~KeptContents()
{
    if (m_process && m_process->state() != QProcess::NotRunning) {
        m_process->disconnect(this);
        const pid_t group = pid_t(m_process->processId());
        m_process->kill();
        m_process->waitForFinished(5000);
        stopProcessGroup(group);
    }
}

QString KeptContents::userProblem() const
{
    if (geteuid() != 0)
        return QString();
    const QFileInfo folder(m_keptFolder);
    const uint user = copyingUser().uid;
    if (folder.exists() && folder.ownerId() != user)
        return localizedStringForKey(QStringLiteral("KeepNotYourFolder"))
            .arg(m_keptFolder, userName(folder.ownerId()), userName(user));
    return QString();
}

void KeptContents::startLoad()
{
    start(Kind::Load);
}

void KeptContents::startSave()
{
    start(Kind::Save);
}

bool KeptContents::isRunning() const
{
    return m_running;
}

qint64 KeptContents::rsyncProcessId() const
{
    return m_rsyncRunning && m_process ? m_process->processId() : 0;
}

KeepResult KeptContents::load()
{
    startLoad();
    waitForFinished();
    return m_result;
}

KeepResult KeptContents::save()
{
    startSave();
    waitForFinished();
    return m_result;
}

void KeptContents::start(Kind kind)
{
    if (m_running)
        return;
    m_kind = kind;
    m_result = {};
    m_errorOutput.clear();
    m_running = true;
    const QString problem = userProblem();
    if (!problem.isEmpty()) {
        finish(failure(problem, {}));
        return;
    }
    if (!QFileInfo(m_mountPath).isDir()) {
        finish(failure(localizedStringForKey(QStringLiteral("KeepNoDisk")).arg(m_mountPath), {}));
        return;
    }
    if (kind == Kind::Load && !QFileInfo(m_keptFolder).isDir()) {
        // A new kept folder: nothing to load yet; the first save makes it.
        finish({true, {}, {}});
        return;
    }
    m_steps = preparation();
    m_steps << rsyncStep(kind);
    runNext();
}

// Clears what an interrupted save left in the folder, as the folder's user; a save also
// makes its folder of temporary copies afresh.
QList<KeptContents::Step> KeptContents::preparation() const
{
    const QString temporary = m_keptFolder + QLatin1Char('/') + KeptFolder::temporaryFolderName();
    QList<Step> steps;
    if (KeepState::wasInterrupted(m_keptFolder) && QFileInfo(m_keptFolder).isDir()) {
        steps << Step{QStringLiteral("find"),
                      {m_keptFolder, QStringLiteral("-depth"), QStringLiteral("-type"),
                       QStringLiteral("d"), QStringLiteral("-name"),
                       KeptFolder::pendingFolderName(), QStringLiteral("-exec"),
                       QStringLiteral("rm"), QStringLiteral("-rf"), QStringLiteral("--"),
                       QStringLiteral("{}"), QStringLiteral("+")}};
    }
    // The temporary copies go in any case: a save makes their folder afresh.
    if (UserFolders::actingForAnotherUser()) {
        steps << Step{QStringLiteral("rm"),
                      {QStringLiteral("-rf"), QStringLiteral("--"), temporary}};
        if (m_kind == Kind::Save)
            steps << Step{QStringLiteral("mkdir"),
                          {QStringLiteral("-p"), QStringLiteral("--"), temporary}};
    } else {
        // This process is the folder's user: no process needed (a periodic save stays quick).
        QDir(temporary).removeRecursively();
        if (m_kind == Kind::Save)
            QDir().mkpath(temporary);
    }
    return steps;
}

KeptContents::Step KeptContents::rsyncStep(Kind kind) const
{
    // Archive mode with hard links, ACLs and extended attributes; numbers, not names, for
    // owners. As a normal user rsync keeps what that user may set and leaves owners as they are.
    // Times are compared to the nanosecond: by default rsync compares whole seconds and would
    // skip a file changed without changing its size in the second of the last save.
    QStringList arguments{QStringLiteral("-aHAX"), QStringLiteral("--numeric-ids"),
                          QStringLiteral("--modify-window=-1"), QStringLiteral("--info=progress2"),
                          QStringLiteral("--exclude=/") + KeptFolder::temporaryFolderName() +
                              QLatin1Char('/')};
    // Without a measured size, rsync's own percentage is right only once it lists every file
    // first (a save's delayed renames need that list anyway).
    if (kind == Kind::Save || m_expectedBytes <= 0)
        arguments << QStringLiteral("--no-inc-recursive");
    if (kind == Kind::Load) {
        arguments << QStringLiteral("--exclude=") + KeptFolder::pendingFolderName() +
                         QLatin1Char('/')
                  << withSlash(m_keptFolder) << withSlash(m_mountPath);
        return {rsyncProgram, arguments};
    }
    // New copies go to the temporary folder, wait in each folder's pending folder until every
    // one is complete, and are then renamed into place; deletions come last.
    arguments << QStringLiteral("--delay-updates") << QStringLiteral("--delete-delay")
              << QStringLiteral("--partial-dir=") + KeptFolder::pendingFolderName()
              << QStringLiteral("--temp-dir=") + m_keptFolder + QLatin1Char('/') +
                     KeptFolder::temporaryFolderName()
              << QStringLiteral("--mkpath") << QStringLiteral("--exclude=/lost+found/")
              << withSlash(m_mountPath) << withSlash(m_keptFolder);
    return {rsyncProgram, arguments};
}

void KeptContents::runNext()
{
    if (m_process) {
        m_process->deleteLater();
        m_process = nullptr;
    }
    const Step step = m_steps.takeFirst();
    m_rsyncRunning = step.program == rsyncProgram;
    if (m_rsyncRunning && m_kind == Kind::Save)
        KeepState::markSaving(m_keptFolder, true);
    m_process = new QProcess(this);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C")); // messages we can read
    m_process->setProcessEnvironment(environment);
    // Each step leads a process group of its own, so the processes rsync forks can be
    // stopped with it; and runs as the folder's user.
    const bool dropToUser = UserFolders::actingForAnotherUser();
    const Paths::Owner user = copyingUser();
    m_process->setChildProcessModifier([dropToUser, user] {
        setpgid(0, 0);
        const gid_t group = user.gid;
        if (dropToUser &&
            (setgroups(1, &group) != 0 || setgid(user.gid) != 0 || setuid(user.uid) != 0))
            _exit(126);
    });
    connect(m_process, &QProcess::readyReadStandardOutput, this, &KeptContents::readProgress);
    connect(m_process, &QProcess::readyReadStandardError, this,
            [this] { m_errorOutput += QString::fromLocal8Bit(m_process->readAllStandardError()); });
    connect(m_process, &QProcess::finished, this, &KeptContents::stepFinished);
    connect(m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            finish(failure(
                localizedStringForKey(QStringLiteral("KeepToolMissing")).arg(m_process->program()),
                {}));
    });
    m_process->start(step.program, step.arguments);
}

void KeptContents::readProgress()
{
    const QString output = QString::fromLocal8Bit(m_process->readAllStandardOutput());
    int percent = RsyncMessages::lastPercent(output);
    const qint64 bytes = RsyncMessages::lastBytes(output);
    if (m_kind == Kind::Load && m_expectedBytes > 0 && bytes >= 0)
        percent = int(std::min<qint64>(bytes * 100 / m_expectedBytes, 100));
    if (percent >= 0)
        emit progressed(percent);
}

void KeptContents::stepFinished(int exitCode, QProcess::ExitStatus status)
{
    if (!m_running)
        return;
    m_errorOutput += QString::fromLocal8Bit(m_process->readAllStandardError());
    if (status != QProcess::NormalExit)
        stopProcessGroup(pid_t(m_process->processId()));
    if (m_rsyncRunning) {
        finish(rsyncResult(exitCode, status));
        return;
    }
    if (status != QProcess::NormalExit || exitCode != 0) {
        finish(failure(m_errorOutput.trimmed(), {}));
        return;
    }
    if (m_steps.size() == 1 && m_kind == Kind::Load)
        KeepState::markSaving(m_keptFolder, false); // the leftovers are gone
    runNext();
}

KeepResult KeptContents::rsyncResult(int exitCode, QProcess::ExitStatus status) const
{
    if (status == QProcess::NormalExit && (exitCode == 0 || exitCode == vanishedSourceFiles))
        return {true, {}, {}};
    RsyncMessages::Failures failures =
        RsyncMessages::failures(m_errorOutput, {m_mountPath, m_keptFolder});
    if (status != QProcess::NormalExit)
        failures.reason = localizedStringForKey(QStringLiteral("KeepRsyncStopped"));
    return failure(failures.reason, failures.files);
}

KeepResult KeptContents::failure(const QString &reason, const QStringList &files) const
{
    KeepResult result;
    result.unsavedFiles = files;
    const QString listed = files.isEmpty()
                               ? localizedStringForKey(QStringLiteral("KeepNoFilesNamed"))
                               : files.join(QStringLiteral(", "));
    const QString key =
        m_kind == Kind::Save ? QStringLiteral("KeepSaveFailed") : QStringLiteral("KeepLoadFailed");
    result.message = localizedStringForKey(key).arg(m_mountPath, m_keptFolder, reason, listed);
    return result;
}

void KeptContents::recordCompleteSave() const
{
    std::optional<KeepState> state = KeepState::forDisk(m_mountPath);
    if (!state || state->keptFolder() != m_keptFolder)
        return;
    state->setLastSave(QDateTime::currentDateTimeUtc());
    state->store();
}

void KeptContents::finish(const KeepResult &result)
{
    if (!m_running)
        return;
    m_running = false;
    m_rsyncRunning = false;
    m_steps.clear();
    m_result = result;
    if (m_kind == Kind::Save && result.succeeded) {
        KeepState::markSaving(m_keptFolder, false);
        // Empty once every copy is in place; rmdir leaves anything else alone.
        const QByteArray temporary =
            QFile::encodeName(m_keptFolder + QLatin1Char('/') + KeptFolder::temporaryFolderName());
        ::rmdir(temporary.constData());
        recordCompleteSave();
    }
    emit finished(m_result);
}

bool KeptContents::waitForFinished(int milliseconds)
{
    QElapsedTimer timer;
    timer.start();
    while (m_running) {
        const qint64 left = milliseconds < 0 ? -1 : milliseconds - timer.elapsed();
        if (milliseconds >= 0 && left <= 0)
            return false;
        QProcess *process = m_process;
        if (!process || !process->waitForFinished(int(left)))
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    return true;
}
