#include "DiskUsageText.h"

#include "DiskSize.h"
#include "Localization.h"

namespace DiskUsageText {

QString kindWord(DiskKind kind)
{
    switch (kind) {
    case DiskKind::Memory:
        return localizedStringForKey(QStringLiteral("KindWordMemory"));
    case DiskKind::Compressed:
        return localizedStringForKey(QStringLiteral("KindWordCompressed"));
    case DiskKind::Block:
        break;
    }
    return localizedStringForKey(QStringLiteral("KindWordBlock"));
}

QString ratio(double ratio)
{
    if (!(ratio > 0))
        return QString();
    return DiskSize::decimal(ratio) + QStringLiteral("×");
}

QString held(const DiskMemoryUse &use)
{
    if (!use.heldKnown())
        return QString();
    const QString memory = DiskSize::describe(use.heldKiB);
    if (use.ratio() <= 0)
        return localizedStringForKey(QStringLiteral("DiskHoldsMemory")).arg(memory);
    return localizedStringForKey(QStringLiteral("DiskHoldsMemoryForData"))
        .arg(memory, DiskSize::describe(use.dataKiB), ratio(use.ratio()));
}

QString kindAndHeld(DiskKind kind, const DiskMemoryUse &use)
{
    const QString figures = held(use);
    if (figures.isEmpty())
        return localizedStringForKey(QStringLiteral("DiskKindLine")).arg(kindWord(kind));
    return localizedStringForKey(QStringLiteral("DiskKindAndHeldLine"))
        .arg(kindWord(kind), figures);
}

QString heldCell(const DiskMemoryUse &use)
{
    if (!use.heldKnown())
        return QStringLiteral("-");
    const QString memory = DiskSize::describe(use.heldKiB);
    if (use.ratio() <= 0)
        return memory;
    return QStringLiteral("%1 (%2)").arg(memory, ratio(use.ratio()));
}

} // namespace DiskUsageText
