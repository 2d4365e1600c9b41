#pragma once

#include <QStringList>
#include <QTextStream>

// The command-line front end: `arguments` without the program name. Returns the exit status:
// 0 done, 1 the work failed (and what was made is gone again), 2 bad input (nothing made).
int runVellumarCtl(const QStringList &arguments, QTextStream &out, QTextStream &err);
