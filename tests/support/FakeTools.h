#pragma once

#include <QString>
#include <QTemporaryDir>

// Small shell scripts that stand in for the disk tools: each prints what the test wants, writes
// a line to a call log, and exits with the status the test wants (or hangs).
class FakeTools
{
public:
    FakeTools();

    struct Behaviour
    {
        QString standardOutput;
        int exitStatus = 0;
        QString standardError;
        int sleepSeconds = 0; // a hang when large
    };

    // Writes an executable script named `name` and returns its absolute path.
    QString write(const QString &name, const Behaviour &behaviour);
    // A path where no tool exists.
    QString missing(const QString &name) const;
    // One line per call: "<tool name> <arguments separated by |>".
    QStringList calls() const;
    QString dir() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
};
