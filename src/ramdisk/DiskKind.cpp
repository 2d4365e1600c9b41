#include "DiskKind.h"

namespace DiskKinds {

QString name(DiskKind kind)
{
    switch (kind) {
    case DiskKind::Memory:
        return QStringLiteral("memory");
    case DiskKind::Compressed:
        return QStringLiteral("compressed");
    case DiskKind::Block:
        break;
    }
    return QStringLiteral("block");
}

bool parse(const QString &word, DiskKind &kind)
{
    for (const DiskKind candidate : {DiskKind::Memory, DiskKind::Compressed, DiskKind::Block}) {
        if (word.trimmed().compare(name(candidate), Qt::CaseInsensitive) == 0) {
            kind = candidate;
            return true;
        }
    }
    return false;
}

QStringList names()
{
    return {name(DiskKind::Memory), name(DiskKind::Compressed), name(DiskKind::Block)};
}

} // namespace DiskKinds
