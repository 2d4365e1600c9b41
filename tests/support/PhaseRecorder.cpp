#include "PhaseRecorder.h"

void PhaseRecorder::fase(int phase, bool successful, const QString &result)
{
    QMutexLocker lock(&m_mutex);
    reports.append({phase, successful, result, false});
}

void PhaseRecorder::faseNotDone(int phase, const QString &why)
{
    QMutexLocker lock(&m_mutex);
    reports.append({phase, false, why, true});
}

QList<PhaseReport> PhaseRecorder::phases() const
{
    QMutexLocker lock(&m_mutex);
    return reports;
}

PhaseReport PhaseRecorder::report(int phase) const
{
    QMutexLocker lock(&m_mutex);
    for (const PhaseReport &p : reports)
        if (p.phase == phase)
            return p;
    return {};
}
