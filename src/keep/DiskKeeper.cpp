#include "DiskKeeper.h"

#include "KeepState.h"
#include "Settings.h"

#include <QElapsedTimer>
#include <QTimer>

DiskKeeper::DiskKeeper(const QString &mountPath, const QString &keptFolder, QObject *parent)
    : QObject(parent), m_mountPath(mountPath), m_keptFolder(keptFolder),
      m_contents(new KeptContents(mountPath, keptFolder, this)), m_timer(new QTimer(this))
{
    m_timer->setObjectName(QStringLiteral("saveTimer"));
    connect(m_timer, &QTimer::timeout, this, &DiskKeeper::startSave);
    connect(m_contents, &KeptContents::progressed, this, &DiskKeeper::loadProgressed);
    connect(m_contents, &KeptContents::finished, this, &DiskKeeper::contentsFinished);
}

QDateTime DiskKeeper::lastSave() const
{
    const std::optional<KeepState> state = KeepState::forDisk(m_mountPath);
    return state ? state->lastSave() : QDateTime();
}

bool DiskKeeper::isBusy() const
{
    return m_contents->isRunning();
}

void DiskKeeper::startLoad(qint64 expectedBytes)
{
    if (isBusy())
        return;
    m_loading = true;
    m_contents->setExpectedBytes(expectedBytes);
    m_contents->startLoad();
}

void DiskKeeper::startSave()
{
    if (isBusy())
        return;
    m_loading = false;
    m_contents->startSave();
}

void DiskKeeper::startSaving()
{
    const int minutes = Settings::saveEveryMinutes();
    if (minutes <= 0) {
        m_timer->stop();
        return;
    }
    m_timer->start(minutes * 60 * 1000);
}

void DiskKeeper::stopSaving()
{
    m_timer->stop();
}

bool DiskKeeper::saveForQuit(int milliseconds)
{
    stopSaving();
    QElapsedTimer elapsed;
    elapsed.start();
    const auto left = [&] { return int(std::max<qint64>(0, milliseconds - elapsed.elapsed())); };
    if (!isBusy() || m_loading) {
        // A running load ends first: what it copied is saved with the rest.
        if (!m_contents->waitForFinished(left()))
            return false;
        startSave();
    }
    return m_contents->waitForFinished(left()) && m_contents->result().succeeded;
}

void DiskKeeper::noteSave(const KeepResult &result)
{
    m_failed = !result.succeeded;
    m_failure = result;
    emit saved(result);
}

KeepResult DiskKeeper::saveBlocking(const QString &mountPath, const QString &keptFolder)
{
    return KeptContents(mountPath, keptFolder).save();
}

void DiskKeeper::contentsFinished(const KeepResult &result)
{
    if (m_loading) {
        m_loading = false;
        emit loaded(result);
        return;
    }
    noteSave(result);
}
