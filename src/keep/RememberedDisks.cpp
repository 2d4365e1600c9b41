#include "RememberedDisks.h"

#include "UserDefaults.h"

#include <QDir>
#include <QVariantList>
#include <QVariantMap>

namespace {

const QString storeKey = QStringLiteral("RememberedDisks");

QVariantMap toMap(const RememberedDisk &disk)
{
    return {{QStringLiteral("size"), disk.size},
            {QStringLiteral("name"), disk.name},
            {QStringLiteral("mountPath"), disk.mountPath},
            {QStringLiteral("keptFolder"), disk.keptFolder}};
}

RememberedDisk fromMap(const QVariantMap &map)
{
    return {map.value(QStringLiteral("size")).toString(),
            map.value(QStringLiteral("name")).toString(),
            map.value(QStringLiteral("mountPath")).toString(),
            map.value(QStringLiteral("keptFolder")).toString()};
}

void store(const QList<RememberedDisk> &disks)
{
    QVariantList stored;
    for (const RememberedDisk &disk : disks)
        stored << toMap(disk);
    UserDefaults &defaults = UserDefaults::standard();
    if (stored.isEmpty())
        defaults.removeObjectForKey(storeKey);
    else
        defaults.setObject(stored, storeKey);
    defaults.synchronize();
}

} // namespace

namespace RememberedDisks {

QList<RememberedDisk> list()
{
    QList<RememberedDisk> disks;
    const QVariantList stored = UserDefaults::standard().objectForKey(storeKey).toList();
    for (const QVariant &entry : stored) {
        const RememberedDisk disk = fromMap(entry.toMap());
        if (!disk.mountPath.isEmpty() && !disk.size.isEmpty())
            disks << disk;
    }
    return disks;
}

void remember(const RememberedDisk &disk)
{
    QList<RememberedDisk> disks = list();
    RememberedDisk cleaned = disk;
    cleaned.mountPath = QDir::cleanPath(disk.mountPath);
    for (RememberedDisk &known : disks) {
        if (known.mountPath == cleaned.mountPath) {
            known = cleaned;
            store(disks);
            return;
        }
    }
    disks << cleaned;
    store(disks);
}

bool forget(const QString &mountPath)
{
    QList<RememberedDisk> disks = list();
    const qsizetype before = disks.size();
    disks.removeIf(
        [&](const RememberedDisk &disk) { return disk.mountPath == QDir::cleanPath(mountPath); });
    if (disks.size() == before)
        return false;
    store(disks);
    return true;
}

} // namespace RememberedDisks
