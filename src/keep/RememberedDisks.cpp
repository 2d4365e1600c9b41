#include "RememberedDisks.h"

#include "Settings.h"

#include <QDir>
#include <QVariantList>
#include <QVariantMap>

namespace {

QVariantMap toMap(const RememberedDisk &disk)
{
    QVariantMap map{{QStringLiteral("size"), disk.size},
                    {QStringLiteral("name"), disk.name},
                    {QStringLiteral("mountPath"), disk.mountPath},
                    {QStringLiteral("keptFolder"), disk.keptFolder}};
    if (!disk.kind.isEmpty())
        map.insert(QStringLiteral("kind"), disk.kind);
    return map;
}

RememberedDisk fromMap(const QVariantMap &map)
{
    return {map.value(QStringLiteral("size")).toString(),
            map.value(QStringLiteral("name")).toString(),
            map.value(QStringLiteral("mountPath")).toString(),
            map.value(QStringLiteral("keptFolder")).toString(),
            map.value(QStringLiteral("kind")).toString()};
}

bool sameFolder(const QVariant &entry, const QString &mountPath)
{
    return QDir::cleanPath(entry.toMap().value(QStringLiteral("mountPath")).toString()) ==
           QDir::cleanPath(mountPath);
}

} // namespace

namespace RememberedDisks {

QList<RememberedDisk> list()
{
    QList<RememberedDisk> disks;
    const QVariantList stored = Settings::rememberedDisks();
    for (const QVariant &entry : stored) {
        const RememberedDisk disk = fromMap(entry.toMap());
        if (!disk.mountPath.isEmpty() && !disk.size.isEmpty())
            disks << disk;
    }
    return disks;
}

void remember(const RememberedDisk &disk)
{
    RememberedDisk cleaned = disk;
    cleaned.mountPath = QDir::cleanPath(disk.mountPath);
    Settings::changeRememberedDisks([&cleaned](QVariantList &disks) {
        for (QVariant &known : disks) {
            if (sameFolder(known, cleaned.mountPath)) {
                known = toMap(cleaned);
                return;
            }
        }
        disks << toMap(cleaned);
    });
}

bool forget(const QString &mountPath)
{
    bool forgotten = false;
    Settings::changeRememberedDisks([&](QVariantList &disks) {
        forgotten =
            disks.removeIf([&](const QVariant &entry) { return sameFolder(entry, mountPath); }) > 0;
    });
    return forgotten;
}

} // namespace RememberedDisks
