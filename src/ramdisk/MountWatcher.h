#pragma once

#include "SystemDisks.h"

#include <QList>
#include <QObject>
#include <QString>

class QSocketNotifier;

// Follows this process's mount table. After every mount or unmount the kernel flags
// /proc/self/mountinfo with an exceptional condition (POLLPRI); the table is then read again and
// compared with the last reading. Nothing is polled on a timer.
class MountWatcher : public QObject
{
    Q_OBJECT

public:
    explicit MountWatcher(QObject *parent = nullptr);
    ~MountWatcher() override;

    // False when the table cannot be watched (no /proc): then nothing is ever reported.
    bool isWatching() const { return m_notifier != nullptr; }
    // The table as last read.
    QList<SystemDisks::Mount> mounts() const { return m_mounts; }

    // Whether a mount may be one of our disks, worth asking the helper about: by its source, a
    // loop device on one of our memory files, a claimed compressed device, or a memory disk.
    static bool couldBeOurDisk(const SystemDisks::Mount &mount);

public slots:
    // Reads the table again and reports what changed since the last reading.
    void reread();

signals:
    // Something mounted on `mountPoint` from `source` is not in the table any more.
    void mountGone(const QString &mountPoint, const QString &source);
    // A mount that could be one of our disks (couldBeOurDisk) is new in the table.
    void diskMountAppeared(const QString &mountPoint, const QString &source);

private:
    int m_fd = -1;
    QSocketNotifier *m_notifier = nullptr;
    QList<SystemDisks::Mount> m_mounts;
};
