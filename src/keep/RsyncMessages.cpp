#include "RsyncMessages.h"

#include "KeptFolder.h"

#include <QRegularExpression>

namespace {

// `.name.XXXXXX` in the temporary folder was a new copy of `name`.
QString withoutTemporaryName(const QString &relative)
{
    const QString prefix = KeptFolder::temporaryFolderName() + QLatin1Char('/');
    if (!relative.startsWith(prefix))
        return relative;
    static const QRegularExpression temporary(QStringLiteral("^\\.(.+)\\.[A-Za-z0-9]{6}$"));
    const QString name = relative.mid(prefix.size());
    const QRegularExpressionMatch match = temporary.match(name);
    return match.hasMatch() ? match.captured(1) : name;
}

QString relativeTo(const QString &path, const QStringList &roots)
{
    for (QString root : roots) {
        if (!root.endsWith(QLatin1Char('/')))
            root += QLatin1Char('/');
        if (path.startsWith(root))
            return withoutTemporaryName(path.mid(root.size()));
    }
    return path;
}

} // namespace

namespace RsyncMessages {

Failures failures(const QString &errorOutput, const QStringList &roots)
{
    // rsync quotes each path it names; names with line breaks arrive escaped as \#012.
    static const QRegularExpression quoted(QStringLiteral("\"([^\"]+)\""));
    Failures found;
    const QStringList lines = errorOutput.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (const QString &line : lines) {
        if (!line.startsWith(QStringLiteral("rsync: ")) &&
            !line.startsWith(QStringLiteral("rsync error: ")))
            continue;
        const qsizetype colon = line.lastIndexOf(QStringLiteral(": "));
        if (found.reason.isEmpty() && colon > 0 && line.startsWith(QStringLiteral("rsync: ")))
            found.reason = line.mid(colon + 2).trimmed();
        auto matches = quoted.globalMatch(line);
        if (!matches.hasNext())
            continue;
        const QString file = relativeTo(matches.next().captured(1), roots);
        if (!file.isEmpty() && !found.files.contains(file))
            found.files << file;
    }
    if (found.reason.isEmpty() && !lines.isEmpty())
        found.reason = lines.last().trimmed();
    return found;
}

int lastPercent(const QString &progressOutput)
{
    static const QRegularExpression percent(QStringLiteral("\\s(\\d{1,3})%"));
    int last = -1;
    auto matches = percent.globalMatch(progressOutput);
    while (matches.hasNext())
        last = matches.next().captured(1).toInt();
    return last;
}

qint64 lastBytes(const QString &progressOutput)
{
    // "  1,048,576  12%  ..." at the start of each progress line.
    static const QRegularExpression bytes(
        QStringLiteral("(?:^|[\\r\\n])\\s*([\\d,]+)\\s+\\d{1,3}%"));
    qint64 last = -1;
    auto matches = bytes.globalMatch(progressOutput);
    while (matches.hasNext())
        last = matches.next().captured(1).remove(QLatin1Char(',')).toLongLong();
    return last;
}

} // namespace RsyncMessages
