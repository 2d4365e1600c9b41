#pragma once

#include <QMutex>
#include <QString>
#include <QVariantMap>
#include <functional>
#include <map>

// A process-wide notification centre: named notifications with a user-info map, delivered
// synchronously on the posting thread to every observer of that name.
class NotificationCenter
{
public:
    using Observer = std::function<void(const QString &name, const QVariantMap &userInfo)>;

    static NotificationCenter &shared();

    // Returns a token for removeObserver.
    int addObserver(const QString &name, Observer observer);
    void removeObserver(int token);
    void post(const QString &name, const QVariantMap &userInfo = {});

private:
    NotificationCenter() = default;

    struct Entry
    {
        QString name;
        Observer observer;
    };
    QMutex m_mutex;
    std::map<int, Entry> m_observers;
    int m_nextToken = 0;
};
