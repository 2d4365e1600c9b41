#pragma once

#include "RamDisk.h"

#include <QList>
#include <QMutex>
#include <QString>

// One phase report as a disk sent it.
struct PhaseReport
{
    int phase = -1;
    bool successful = false;
    QString result;
    bool notDone = false; // neither done nor failed (no file manager was asked)
    // Done, or left undone without a failure.
    bool ok() const { return successful || notDone; }
};

// Keeps every phase report a disk sends it, from any thread.
class PhaseRecorder : public RamDiskDelegate
{
public:
    void fase(int phase, bool successful, const QString &result) override;
    void faseNotDone(int phase, const QString &why) override;
    QList<PhaseReport> phases() const;
    // The report of one phase; phase -1 when none came.
    PhaseReport report(int phase) const;

    // Written under the lock; read it directly only where no other thread reports.
    QList<PhaseReport> reports;

private:
    mutable QMutex m_mutex;
};
