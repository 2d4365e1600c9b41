#include "UserDefaults.h"

#include <QSettings>

UserDefaults &UserDefaults::standard()
{
    static UserDefaults instance;
    return instance;
}

UserDefaults::UserDefaults()
    : m_settings(std::make_unique<QSettings>(QStringLiteral("Vellumar"), QStringLiteral("Vellumar")))
{
}

UserDefaults::~UserDefaults() = default;

void UserDefaults::setStorageFile(const QString &path)
{
    QMutexLocker lock(&m_mutex);
    m_settings->sync();
    if (path.isEmpty())
        m_settings = std::make_unique<QSettings>(QStringLiteral("Vellumar"), QStringLiteral("Vellumar"));
    else
        m_settings = std::make_unique<QSettings>(path, QSettings::IniFormat);
}

QString UserDefaults::storageFile() const
{
    QMutexLocker lock(&m_mutex);
    return m_settings->fileName();
}

void UserDefaults::registerDefaults(const QVariantMap &defaults)
{
    QMutexLocker lock(&m_mutex);
    for (auto it = defaults.cbegin(); it != defaults.cend(); ++it)
        m_registered.insert(it.key(), it.value());
}

QVariant UserDefaults::objectForKey(const QString &key) const
{
    QMutexLocker lock(&m_mutex);
    if (m_settings->contains(key))
        return m_settings->value(key);
    return m_registered.value(key);
}

QString UserDefaults::stringForKey(const QString &key) const
{
    return objectForKey(key).toString();
}

bool UserDefaults::boolForKey(const QString &key) const
{
    return objectForKey(key).toBool();
}

void UserDefaults::setObject(const QVariant &value, const QString &key)
{
    QMutexLocker lock(&m_mutex);
    m_settings->setValue(key, value);
    m_settings->sync();
}

void UserDefaults::removeObjectForKey(const QString &key)
{
    QMutexLocker lock(&m_mutex);
    m_settings->remove(key);
    m_settings->sync();
}

void UserDefaults::removeObjectsWithPrefix(const QString &prefix)
{
    QMutexLocker lock(&m_mutex);
    const QStringList keys = m_settings->allKeys();
    for (const QString &key : keys) {
        if (key.startsWith(prefix))
            m_settings->remove(key);
    }
    m_settings->sync();
}

void UserDefaults::synchronize()
{
    QMutexLocker lock(&m_mutex);
    m_settings->sync();
}
