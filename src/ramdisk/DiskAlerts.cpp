#include "DiskAlerts.h"

#include "DiskSize.h"
#include "Localization.h"

#include <QFileInfo>

#include <sys/statvfs.h>

#include <algorithm>

namespace {

// Used and total KiB as df counts them (what is reserved for root is neither); size 0 when the
// folder cannot be read.
DiskAlerts::Figures useOf(const QString &mountPath)
{
    struct statvfs stats = {};
    if (::statvfs(mountPath.toLocal8Bit().constData(), &stats) != 0 || stats.f_blocks == 0)
        return {};
    const auto kib = [&stats](fsblkcnt_t blocks) { return qint64(blocks * stats.f_frsize / 1024); };
    const qint64 used = kib(stats.f_blocks - stats.f_bfree);
    return {used, used + kib(stats.f_bavail)};
}

} // namespace

DiskAlerts::DiskAlerts(QObject *parent, std::shared_ptr<Latch> memoryLatch)
    : QObject(parent), m_memory(std::move(memoryLatch))
{
}

qint64 DiskAlerts::memoryMarginKiB(qint64 totalKiB)
{
    return std::clamp<qint64>(totalKiB / 16, 64 * 1024, 512 * 1024);
}

std::shared_ptr<DiskAlerts::Latch> DiskAlerts::processMemoryLatch()
{
    static const auto latch = std::make_shared<Latch>();
    return latch;
}

void DiskAlerts::check(const QString &mountPath, const QString &diskName, qint64 totalKiB,
                       qint64 availableKiB)
{
    if (mountPath != m_mountPath) {
        m_mountPath = mountPath;
        m_fullRaised = false;
        m_saveFailureRaised = false;
    }
    if (mountPath.isEmpty())
        return;
    Figures figures = useOf(mountPath);
    figures.totalKiB = totalKiB;
    figures.availableKiB = availableKiB;
    judge(diskName, figures);
}

void DiskAlerts::judge(const QString &diskName, const Figures &figures)
{
    m_diskName = diskName;
    judgeFull(figures);
    judgeMemory(figures);
}

void DiskAlerts::judgeFull(const Figures &figures)
{
    if (figures.sizeKiB <= 0)
        return;
    const qint64 percent = figures.usedKiB * 100 / figures.sizeKiB;
    if (percent < RearmPercent)
        m_fullRaised = false;
    if (percent < FullPercent || m_fullRaised)
        return;
    m_fullRaised = true;
    emit raised(localizedStringForKey(QStringLiteral("AlertDiskFull")).arg(m_diskName),
                localizedStringForKey(QStringLiteral("AlertDiskFullMessage"))
                    .arg(DiskSize::describe(figures.usedKiB), DiskSize::describe(figures.sizeKiB)));
}

void DiskAlerts::judgeMemory(const Figures &figures)
{
    if (figures.totalKiB <= 0 || figures.availableKiB < 0)
        return;
    const qint64 margin = memoryMarginKiB(figures.totalKiB);
    if (figures.availableKiB >= margin + margin / 4)
        m_memory->raised = false;
    if (figures.availableKiB >= margin || m_memory->raised || figures.usedKiB <= 0)
        return;
    m_memory->raised = true;
    emit raised(localizedStringForKey(QStringLiteral("AlertMemoryLow")),
                localizedStringForKey(QStringLiteral("AlertMemoryLowMessage"))
                    .arg(DiskSize::describe(figures.availableKiB), m_diskName,
                         DiskSize::describe(figures.usedKiB)));
}

void DiskAlerts::saveEnded(bool succeeded, const QString &keptFolder, const QString &message)
{
    if (succeeded) {
        m_saveFailureRaised = false;
        return;
    }
    if (m_saveFailureRaised)
        return;
    m_saveFailureRaised = true;
    // Before the first check the name is not known yet; the default kept folder carries it.
    const QString name = m_diskName.isEmpty() ? QFileInfo(keptFolder).fileName() : m_diskName;
    const QString reason =
        message.trimmed().isEmpty() ? QString() : message.trimmed() + QLatin1Char('\n');
    emit raised(
        localizedStringForKey(QStringLiteral("AlertSaveFailed")).arg(name),
        reason + localizedStringForKey(QStringLiteral("AlertSaveFailedMessage")).arg(keptFolder));
}
