#include "SystemLog.h"

#include <QMap>
#include <QMutex>
#include <cstdio>
#include <syslog.h>

namespace SystemLog {
namespace {

QMutex &logMutex()
{
    static QMutex mutex;
    return mutex;
}

QMap<int, QStringList> &captures()
{
    static QMap<int, QStringList> map;
    return map;
}

int nextCaptureId = 0;

} // namespace

void log(const QString &line)
{
    // One line, whatever the message held.
    QString single = line;
    single.replace(QLatin1Char('\n'), QLatin1Char(' '));
    const QByteArray bytes = single.toUtf8();
    QMutexLocker lock(&logMutex());
    std::fprintf(stderr, "vellumar: %s\n", bytes.constData());
    std::fflush(stderr);
    syslog(LOG_NOTICE, "%s", bytes.constData());
    for (auto it = captures().begin(); it != captures().end(); ++it)
        it.value().append(single);
}

Capture::Capture()
{
    QMutexLocker lock(&logMutex());
    m_id = ++nextCaptureId;
    captures().insert(m_id, {});
}

Capture::~Capture()
{
    QMutexLocker lock(&logMutex());
    captures().remove(m_id);
}

QStringList Capture::lines() const
{
    QMutexLocker lock(&logMutex());
    return captures().value(m_id);
}

void Capture::clear()
{
    QMutexLocker lock(&logMutex());
    captures()[m_id].clear();
}

} // namespace SystemLog
