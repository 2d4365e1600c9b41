#include "MemStatsSource.h"

#include "Paths.h"
#include "SystemLog.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QStringList>
#include <sys/stat.h>

std::optional<QString> MemStatsSource::swapBasePathFromProcessList(const QByteArray &processList)
{
    // Output that is not plain ASCII is treated as no output at all.
    for (const char c : processList) {
        if (static_cast<unsigned char>(c) > 0x7F)
            return std::nullopt;
    }
    const QString text = QString::fromLatin1(processList);
    const QString pager = QStringLiteral("dynamic_pager");
    const QString option = QStringLiteral("-F");

    const QStringList lines = text.split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        // Single spaces separate words: neighbouring spaces give empty words, tabs are no
        // separators.
        const QStringList words = line.split(QLatin1Char(' '));
        if (!words.contains(pager) || !words.contains(option))
            continue;
        QString path;
        for (qsizetype i = words.indexOf(option); i < words.size(); ++i) {
            const QString &word = words.at(i);
            if (path.isEmpty()) {
                if (word.startsWith(QLatin1Char('/')))
                    path = word;
                continue;
            }
            if (word.startsWith(QLatin1Char('-')))
                break;
            // A path with spaces in it was split into several words: join them again.
            path += QLatin1Char(' ') + word;
        }
        if (!path.isEmpty())
            return path;
    }
    return std::nullopt;
}

SwapLocation
MemStatsSource::swapLocationFromProcessList(const std::optional<QByteArray> &processList)
{
    const std::optional<QString> base =
        processList ? swapBasePathFromProcessList(*processList) : std::nullopt;
    if (!base) {
        SystemLog::log(QStringLiteral(
            "MenuMeterMemStats unable to locate dynamic_pager args. Assume default."));
        return {QStringLiteral("/var/vm/"), QStringLiteral("swapfile")};
    }
    QString trimmed = *base;
    while (trimmed.size() > 1 && trimmed.endsWith(QLatin1Char('/')))
        trimmed.chop(1);
    return {Paths::deletingLastPathComponent(trimmed), trimmed.section(QLatin1Char('/'), -1)};
}

SwapUsage MemStatsSource::scanSwapFolder(const SwapLocation &location)
{
    SwapUsage usage;
    const QFileInfo folder(location.path);
    if (!folder.exists() || !folder.isDir())
        return usage;
    const QDir dir(location.path);
    QDirIterator it(location.path,
                    QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString relative = dir.relativeFilePath(it.next());
        if (!relative.startsWith(location.prefix))
            continue;
        const QString full = dir.filePath(relative);
        const QFileInfo info(full);
        if (!info.exists() || info.isDir())
            continue;
        usage.count += 1;
        // The size of the entry itself, not of what a link points at; a file that is gone by
        // now adds nothing.
        struct stat st;
        if (::lstat(QFile::encodeName(full).constData(), &st) == 0)
            usage.bytes += static_cast<double>(st.st_size);
    }
    return usage;
}
