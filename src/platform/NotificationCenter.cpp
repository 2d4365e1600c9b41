#include "NotificationCenter.h"

#include <vector>

NotificationCenter &NotificationCenter::shared()
{
    static NotificationCenter centre;
    return centre;
}

int NotificationCenter::addObserver(const QString &name, Observer observer)
{
    QMutexLocker lock(&m_mutex);
    const int token = ++m_nextToken;
    m_observers.emplace(token, Entry{name, std::move(observer)});
    return token;
}

void NotificationCenter::removeObserver(int token)
{
    QMutexLocker lock(&m_mutex);
    m_observers.erase(token);
}

void NotificationCenter::post(const QString &name, const QVariantMap &userInfo)
{
    // Observers run without the lock, so they may add or remove observers themselves.
    std::vector<Observer> receivers;
    {
        QMutexLocker lock(&m_mutex);
        for (const auto &[token, entry] : m_observers) {
            if (entry.name == name)
                receivers.push_back(entry.observer);
        }
    }
    for (const Observer &receiver : receivers)
        receiver(name, userInfo);
}
