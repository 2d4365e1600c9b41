#include "DiskUsageLine.h"

#include "DiskSession.h"
#include "DiskUsageText.h"
#include "RamDisk.h"

namespace {

DiskUsageLine::Source &installedSource()
{
    static DiskUsageLine::Source source;
    return source;
}

} // namespace

void DiskUsageLine::setSource(Source source)
{
    installedSource() = std::move(source);
}

QString DiskUsageLine::of(const DiskSession &session)
{
    const std::shared_ptr<RamDisk> disk = session.disk();
    // A disk whose creation failed is active but was never mounted; an ejected one is neither.
    if (!disk || !session.isMounted() || !disk->isMountedAndActive())
        return QString();
    const Source &source = installedSource();
    const DiskMemoryUse use =
        source ? source(disk->kind(), disk->device(), disk->mountPath())
               : DiskMemoryUse::read(disk->kind(), disk->device(), disk->mountPath());
    return DiskUsageText::kindAndHeld(disk->kind(), use);
}
