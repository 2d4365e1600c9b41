#pragma once

#include <QString>
#include <QStringList>

// What rsync tells on its standard error and progress output, read for the user.
namespace RsyncMessages {

struct Failures
{
    QStringList files; // named by rsync, relative to the source or destination folder
    QString reason;    // the system's words for the first failure ("No space left on device (28)")
};

// The files named in rsync's error lines, in the order given, each once. Paths under `roots`
// become relative to them; a new copy's temporary name becomes the name of its file.
Failures failures(const QString &errorOutput, const QStringList &roots);

// The last percentage in a piece of --info=progress2 output, or -1 when there is none.
int lastPercent(const QString &progressOutput);
// The last count of bytes copied in a piece of --info=progress2 output, or -1.
qint64 lastBytes(const QString &progressOutput);

} // namespace RsyncMessages
