#include "MachineMemory.h"

#include <QFile>
#include <QStringList>

MachineMemory MachineMemory::read()
{
    QFile file(QStringLiteral("/proc/meminfo"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return parse(QString::fromLatin1(file.readAll()));
}

MachineMemory MachineMemory::parse(const QString &meminfo)
{
    MachineMemory memory;
    const QStringList lines = meminfo.split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        const QStringList parts = line.simplified().split(QLatin1Char(' '));
        if (parts.size() < 2)
            continue;
        bool ok = false;
        const qint64 value = parts.at(1).toLongLong(&ok);
        if (!ok)
            continue;
        if (parts.at(0) == QLatin1String("MemTotal:"))
            memory.totalKiB = value;
        else if (parts.at(0) == QLatin1String("MemAvailable:"))
            memory.availableKiB = value;
        else if (parts.at(0) == QLatin1String("SwapTotal:"))
            memory.swapKiB = value;
    }
    return memory;
}
