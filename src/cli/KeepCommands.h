#pragma once

#include <QStringList>
#include <QTextStream>
#include <optional>

// The kept-contents side of vellumarctl: `sync`, `create --keep/--remember/--remembered`,
// saving before `eject`, and the kept folder and last save in `list`. Returns the exit status
// when the command line is one of these; nothing when the plain command should run.
std::optional<int> runKeepCommand(const QStringList &arguments, QTextStream &out, QTextStream &err);
