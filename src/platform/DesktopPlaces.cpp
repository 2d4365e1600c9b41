#include "DesktopPlaces.h"

#include "Settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUrl>

namespace {

QString uriOf(const QString &folder)
{
    return QString::fromUtf8(QUrl::fromLocalFile(QDir::cleanPath(folder)).toEncoded());
}

// A line's place: its URI, up to the first space (the label follows it).
QString placeOf(const QString &line)
{
    return line.section(QLatin1Char(' '), 0, 0);
}

QStringList readLines(bool *ok)
{
    QFile file(DesktopPlaces::bookmarksFile());
    *ok = true;
    if (!file.exists())
        return {};
    if (!file.open(QIODevice::ReadOnly)) {
        *ok = false;
        return {};
    }
    QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast(); // the file's last newline
    return lines;
}

bool writeLines(const QStringList &lines)
{
    const QString path = DesktopPlaces::bookmarksFile();
    if (!QDir().mkpath(QFileInfo(path).path()))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    for (const QString &line : lines)
        file.write(line.toUtf8() + '\n');
    return file.commit();
}

} // namespace

namespace DesktopPlaces {

QString bookmarksFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/gtk-3.0/bookmarks");
}

bool add(const QString &folder, const QString &label)
{
    const QString uri = uriOf(folder);
    bool read = false;
    QStringList lines = readLines(&read);
    if (!read)
        return false;
    for (const QString &line : std::as_const(lines))
        if (placeOf(line) == uri)
            return true;
    lines << (label.isEmpty() ? uri : uri + QLatin1Char(' ') + label.simplified());
    if (!writeLines(lines))
        return false;
    return Settings::changeDesktopPlaces([&uri](QStringList &ours) {
        if (!ours.contains(uri))
            ours << uri;
    });
}

bool remove(const QString &folder)
{
    const QString uri = uriOf(folder);
    if (!Settings::desktopPlaces().contains(uri))
        return true;
    bool read = false;
    QStringList lines = readLines(&read);
    if (!read)
        return false;
    for (qsizetype i = lines.size() - 1; i >= 0; --i) {
        if (placeOf(lines.at(i)) == uri) {
            lines.removeAt(i);
            if (!writeLines(lines))
                return false;
            break;
        }
    }
    return Settings::changeDesktopPlaces([&uri](QStringList &ours) { ours.removeAll(uri); });
}

} // namespace DesktopPlaces
