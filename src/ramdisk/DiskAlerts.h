#pragma once

#include <QObject>
#include <QString>
#include <memory>

// Watches one mounted disk for what the user should hear about even with its window hidden: the
// disk passing 90 % full, a save of its kept contents failing, and the machine's available
// memory falling below the margin while the disk holds data. Each is raised once per crossing
// and armed again only when the figure is back on the safe side (under 85 % full, a save that
// succeeds, available memory a quarter above the margin), so a disk sitting at 95 % or a save
// failing every few minutes is one message, not a stream.
class DiskAlerts : public QObject
{
    Q_OBJECT

public:
    static constexpr int FullPercent = 90;
    static constexpr int RearmPercent = 85;

    // One crossing's state, shared by every watcher of the same figure (the machine's memory is
    // one figure however many disks watch it).
    struct Latch
    {
        bool raised = false;
    };

    struct Figures
    {
        qint64 usedKiB = 0;
        qint64 sizeKiB = 0;       // ≤ 0: the disk's use is unknown
        qint64 totalKiB = -1;     // the machine's memory; ≤ 0: unknown
        qint64 availableKiB = -1; // < 0: unknown
    };

    // `memoryLatch` defaults to the one of this process.
    explicit DiskAlerts(QObject *parent = nullptr,
                        std::shared_ptr<Latch> memoryLatch = processMemoryLatch());

    // Memory kept free for the system: 1/16 of the total, between 64 MiB and 512 MiB (the
    // helper's margin).
    static qint64 memoryMarginKiB(qint64 totalKiB);
    static std::shared_ptr<Latch> processMemoryLatch();

    // Checks the disk mounted on `mountPath` (its use read from the mount) against the
    // machine's memory figures. A different path starts over; an empty one means no disk.
    void check(const QString &mountPath, const QString &diskName, qint64 totalKiB,
               qint64 availableKiB);
    // The same with the figures given.
    void judge(const QString &diskName, const Figures &figures);
    // A save of the disk's kept contents ended; a failure is raised once until a save succeeds.
    void saveEnded(bool succeeded, const QString &keptFolder, const QString &message);

    QString mountPath() const { return m_mountPath; }

signals:
    void raised(const QString &summary, const QString &body);

private:
    void judgeFull(const Figures &figures);
    void judgeMemory(const Figures &figures);

    QString m_mountPath;
    QString m_diskName;
    bool m_fullRaised = false;
    bool m_saveFailureRaised = false;
    std::shared_ptr<Latch> m_memory;
};
