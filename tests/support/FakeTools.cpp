#include "FakeTools.h"

#include <QFile>

namespace {

QString shellQuote(const QString &text)
{
    QString quoted = text;
    quoted.replace(QLatin1Char('\''), QStringLiteral("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

} // namespace

FakeTools::FakeTools() = default;

QString FakeTools::write(const QString &name, const Behaviour &behaviour)
{
    const QString path = m_dir.filePath(name);
    const QString log = m_dir.filePath(QStringLiteral("calls.log"));
    QString script = QStringLiteral("#!/bin/sh\n");
    script += QStringLiteral("line=%1\nfor a in \"$@\"; do line=\"$line|$a\"; done\n")
                  .arg(shellQuote(name));
    script += QStringLiteral("printf '%s\\n' \"$line\" >> %1\n").arg(shellQuote(log));
    if (behaviour.sleepSeconds > 0)
        script += QStringLiteral("sleep %1\n").arg(behaviour.sleepSeconds);
    script += QStringLiteral("printf '%s' %1\n").arg(shellQuote(behaviour.standardOutput));
    script += QStringLiteral("printf '%s' %1 >&2\n").arg(shellQuote(behaviour.standardError));
    script += QStringLiteral("exit %1\n").arg(behaviour.exitStatus);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        file.write(script.toUtf8());
        file.close();
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                            QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                            QFile::ExeOther);
    }
    return path;
}

QString FakeTools::missing(const QString &name) const
{
    return m_dir.filePath(QStringLiteral("missing/") + name);
}

QStringList FakeTools::calls() const
{
    QFile file(m_dir.filePath(QStringLiteral("calls.log")));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}
