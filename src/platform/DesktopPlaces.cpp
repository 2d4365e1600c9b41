#include "DesktopPlaces.h"

#include "Settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUrl>

namespace {

// Lines are kept as bytes: whatever else the file holds is written back as it was.
QByteArray uriOf(const QString &folder)
{
    return QUrl::fromLocalFile(QDir::cleanPath(folder)).toEncoded();
}

// A line's place: its URI, up to the first space (the label follows it).
QByteArray placeOf(const QByteArray &line)
{
    const qsizetype space = line.indexOf(' ');
    return space < 0 ? line : line.left(space);
}

QByteArrayList readLines(bool *ok)
{
    QFile file(DesktopPlaces::bookmarksFile());
    *ok = true;
    if (!file.exists())
        return {};
    if (!file.open(QIODevice::ReadOnly)) {
        *ok = false;
        return {};
    }
    QByteArrayList lines = file.readAll().split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast(); // the file's last newline
    return lines;
}

bool writeLines(const QByteArrayList &lines)
{
    const QString path = DesktopPlaces::bookmarksFile();
    if (!QDir().mkpath(QFileInfo(path).path()))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    for (const QByteArray &line : lines)
        file.write(line + '\n');
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
    const QByteArray uri = uriOf(folder);
    bool read = false;
    QByteArrayList lines = readLines(&read);
    if (!read)
        return false;
    for (const QByteArray &line : std::as_const(lines))
        if (placeOf(line) == uri)
            return true;
    lines << (label.isEmpty() ? uri : uri + ' ' + label.simplified().toUtf8());
    if (!writeLines(lines))
        return false;
    return Settings::changeDesktopPlaces([&uri](QStringList &ours) {
        if (!ours.contains(QString::fromUtf8(uri)))
            ours << QString::fromUtf8(uri);
    });
}

bool remove(const QString &folder)
{
    const QByteArray uri = uriOf(folder);
    if (!Settings::desktopPlaces().contains(QString::fromUtf8(uri)))
        return true;
    bool read = false;
    QByteArrayList lines = readLines(&read);
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
    return Settings::changeDesktopPlaces(
        [&uri](QStringList &ours) { ours.removeAll(QString::fromUtf8(uri)); });
}

} // namespace DesktopPlaces
