#include "KeptFolder.h"

#include "Localization.h"
#include "UserFolders.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QLocale>

namespace {

constexpr qint64 blockKiB = 4;

qint64 roundedToBlocks(qint64 bytes)
{
    return (bytes + blockKiB * 1024 - 1) / (blockKiB * 1024) * blockKiB;
}

// The journal the disk's file system gets: 8 MiB from 128 MiB up; below, mkfs's own choice of
// 4 MiB, and none under 8 MiB.
qint64 journalKiB(qint64 diskKiB)
{
    if (diskKiB >= 128 * 1024)
        return 8 * 1024;
    return diskKiB >= 8 * 1024 ? 4 * 1024 : 0;
}

QString sizeText(qint64 kib)
{
    return QLocale().formattedDataSize(kib * 1024, 1, QLocale::DataSizeIecFormat);
}

} // namespace

namespace KeptFolder {

QString temporaryFolderName()
{
    return QStringLiteral(".vellumar-temp");
}

QString pendingFolderName()
{
    return QStringLiteral(".vellumar-saving");
}

QString safeFileName(const QString &volumeName)
{
    QString name;
    for (const QChar c : volumeName) {
        if (c == QLatin1Char('/') || c.category() == QChar::Other_Control)
            name += QLatin1Char('_');
        else
            name += c;
    }
    name = name.trimmed();
    while (name.startsWith(QLatin1Char('.')))
        name.remove(0, 1);
    return name.isEmpty() ? QStringLiteral("Ram Disk") : name;
}

QString defaultFolder(const QString &volumeName)
{
    return UserFolders::dataHome() + QStringLiteral("/vellumar/kept/") + safeFileName(volumeName);
}

Contents measure(const QString &folder)
{
    Contents contents;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        if (info.fileName() == temporaryFolderName() || info.fileName() == pendingFolderName())
            continue;
        if (info.path().contains(QLatin1Char('/') + pendingFolderName()) ||
            info.path().contains(QLatin1Char('/') + temporaryFolderName()))
            continue;
        ++contents.entries;
        if (info.isDir() && !info.isSymLink())
            contents.kib += blockKiB;
        else if (info.isFile() && !info.isSymLink())
            contents.kib += roundedToBlocks(info.size());
    }
    return contents;
}

qint64 usableKiB(qint64 diskKiB)
{
    // Inode tables (256 bytes per 16 KiB), bitmaps and group descriptors take about 1/32.
    return std::max<qint64>(diskKiB - diskKiB / 32 - journalKiB(diskKiB), 0);
}

qint64 inodesOf(qint64 diskKiB)
{
    // mkfs's default: one inode per 16 KiB; the first eleven are the file system's own.
    return std::max<qint64>(diskKiB / 16 - 11, 0);
}

QString sizeProblem(const QString &folder, qint64 diskKiB)
{
    const Contents contents = measure(folder);
    if (contents.kib > usableKiB(diskKiB))
        return localizedStringForKey(QStringLiteral("KeepTooLarge"))
            .arg(folder, sizeText(contents.kib), sizeText(diskKiB), sizeText(usableKiB(diskKiB)));
    if (contents.entries > inodesOf(diskKiB))
        return localizedStringForKey(QStringLiteral("KeepTooManyFiles"))
            .arg(folder)
            .arg(contents.entries)
            .arg(sizeText(diskKiB))
            .arg(inodesOf(diskKiB));
    return QString();
}

} // namespace KeptFolder
