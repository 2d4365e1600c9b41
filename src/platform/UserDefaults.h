#pragma once

#include <QMutex>
#include <QString>
#include <QVariant>
#include <QVariantMap>
#include <memory>

class QSettings;

// The user-defaults store: persistent settings with registered fallback values. A registered
// default answers for a key until the user stores a value of their own.
class UserDefaults
{
public:
    static UserDefaults &standard();

    // Points the store at an INI file of its own (tests use a temporary folder). An empty path
    // goes back to the user's own settings.
    void setStorageFile(const QString &path);
    QString storageFile() const;

    void registerDefaults(const QVariantMap &defaults);

    QVariant objectForKey(const QString &key) const;
    QString stringForKey(const QString &key) const;
    bool boolForKey(const QString &key) const;
    void setObject(const QVariant &value, const QString &key);
    void removeObjectForKey(const QString &key);
    // Removes every stored key that starts with the prefix; registered defaults stay.
    void removeObjectsWithPrefix(const QString &prefix);
    void synchronize();

private:
    UserDefaults();
    ~UserDefaults();

    mutable QMutex m_mutex;
    QVariantMap m_registered;
    std::unique_ptr<QSettings> m_settings;
};
