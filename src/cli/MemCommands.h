#pragma once

#include <QStringList>

class MenuMeterMemStats;
class QTextStream;

// `vellumarctl mem [--json]` and `vellumarctl swap [--json]`: one reading of this machine's
// memory or swap figures on standard output, as "key value" lines or as one JSON object with
// the keys of the statistics dictionaries. `args` are the words after the command name.
// Return 0 on success, 1 when the figures cannot be read, 2 on a wrong argument.
int runMemCommand(const QStringList &args);
int runSwapCommand(const QStringList &args);

// The same, reading from `stats` and writing to the given streams.
int runMemCommand(const QStringList &args, MenuMeterMemStats &stats, QTextStream &out,
                  QTextStream &err);
int runSwapCommand(const QStringList &args, MenuMeterMemStats &stats, QTextStream &out,
                   QTextStream &err);
