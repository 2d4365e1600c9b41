#pragma once

#include <QMap>
#include <QStringList>
#include <QTextStream>

// vellumarctl's disk commands on the disk session: each takes the arguments after its name
// and returns the exit status (0 done, 1 the work failed and what was made is gone again, 2 bad
// input and nothing made).
namespace DiskCommands {

int create(const QStringList &arguments, QTextStream &out, QTextStream &err);
int list(const QStringList &arguments, QTextStream &out, QTextStream &err);
int eject(const QStringList &arguments, QTextStream &out, QTextStream &err);
int sync(const QStringList &arguments, QTextStream &out, QTextStream &err);

// Splits "--name value", "--name=value" and flags; returns a sentence when an argument is
// unknown or a value missing.
struct Options
{
    QStringList positional;
    QMap<QString, QString> values;
    QStringList flags;
    bool has(const QString &flag) const { return flags.contains(flag); }
};
QString parseOptions(const QStringList &arguments, const QStringList &withValue,
                     const QStringList &flags, Options &options);

} // namespace DiskCommands
