#include "Settings.h"

#include "UserDefaults.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QSettings>
#include <memory>

namespace {

// A lock of our own, not QSettings' ".lock": QSettings takes that one inside sync().
QString lockPath()
{
    // The folder first: a lock cannot be made in a folder that is not there yet.
    const QString file = UserDefaults::standard().storageFile();
    QDir().mkpath(QFileInfo(file).path());
    return file + QStringLiteral(".disks-lock");
}

std::unique_ptr<QSettings> fileAsItIsNow()
{
    return std::make_unique<QSettings>(UserDefaults::standard().storageFile(),
                                       QSettings::IniFormat);
}

const QString desktopPlacesKey = QStringLiteral("DesktopPlaces");

// Reads one value from the file as it is now, lets `change` edit it (an invalid value: none) and
// writes it back, all under the lock; false when the lock could not be had or the file not
// written.
bool changeUnderLock(const QString &key, const std::function<void(QVariant &value)> &change)
{
    UserDefaults::standard().synchronize(); // our own pending writes first
    QLockFile lock(lockPath());
    lock.setStaleLockTime(10000);
    if (!lock.tryLock(10000))
        return false;
    const std::unique_ptr<QSettings> file = fileAsItIsNow();
    QVariant value = file->value(key);
    change(value);
    if (value.isValid())
        file->setValue(key, value);
    else
        file->remove(key);
    file->sync();
    return file->status() == QSettings::NoError;
}

} // namespace

namespace Settings {

QString mountPathKey()
{
    return QStringLiteral("MountPath");
}

QString legacyMountLocation()
{
    // Kept with the tilde and the trailing slash; expanded only when a path is made.
    return QStringLiteral("~/Library/Application Support/Vellumar/");
}

QString defaultMountLocation()
{
#ifdef Q_OS_MACOS
    return legacyMountLocation();
#else
    // Where the desktop shows volumes: the helper makes each disk's folder there, by its name.
    return QStringLiteral("@media/");
#endif
}

bool isDefaultMountLocation(const QString &stored)
{
    return stored == defaultMountLocation() || stored == legacyMountLocation();
}

void registerDefaults()
{
    UserDefaults::standard().registerDefaults({{mountPathKey(), defaultMountLocation()}});
}

QString mountLocation()
{
    UserDefaults &defaults = UserDefaults::standard();
    if (!defaults.objectForKey(mountPathKey()).isValid())
        registerDefaults();
    return defaults.stringForKey(mountPathKey());
}

void setMountLocation(const QString &folder)
{
    UserDefaults::standard().setObject(folder, mountPathKey());
}

QString saveEveryMinutesKey()
{
    return QStringLiteral("SaveEveryMinutes");
}

int saveEveryMinutes()
{
    const QVariant stored = UserDefaults::standard().objectForKey(saveEveryMinutesKey());
    bool ok = false;
    const int minutes = stored.toInt(&ok);
    return ok && minutes >= 0 ? minutes : DefaultSaveEveryMinutes;
}

void setSaveEveryMinutes(int minutes)
{
    UserDefaults::standard().setObject(minutes, saveEveryMinutesKey());
}

QString rememberedDisksKey()
{
    return QStringLiteral("RememberedDisks");
}

QVariantList rememberedDisks()
{
    QLockFile lock(lockPath());
    lock.setStaleLockTime(10000);
    const bool locked = lock.tryLock(5000);
    Q_UNUSED(locked); // a reader without the lock still reads a whole file (QSettings writes whole)
    return fileAsItIsNow()->value(rememberedDisksKey()).toList();
}

bool changeRememberedDisks(const std::function<void(QVariantList &disks)> &change)
{
    return changeUnderLock(rememberedDisksKey(), [&change](QVariant &value) {
        QVariantList disks = value.toList();
        change(disks);
        value = disks.isEmpty() ? QVariant() : QVariant(disks);
    });
}

QStringList desktopPlaces()
{
    return fileAsItIsNow()->value(desktopPlacesKey).toStringList();
}

bool changeDesktopPlaces(const std::function<void(QStringList &places)> &change)
{
    return changeUnderLock(desktopPlacesKey, [&change](QVariant &value) {
        QStringList places = value.toStringList();
        change(places);
        value = places.isEmpty() ? QVariant() : QVariant(places);
    });
}

namespace {
const QString hasRunBeforeKey = QStringLiteral("QVXHasRunBefore");
const QString splashKey = QStringLiteral("QVXOpenSplashAtStartup");
const QString alertChoicePrefix = QStringLiteral("QVXDontShowAgain/");
} // namespace

bool hasRunBefore()
{
    return UserDefaults::standard().boolForKey(hasRunBeforeKey);
}

void setHasRunBefore()
{
    UserDefaults::standard().setObject(true, hasRunBeforeKey);
}

bool openSplashAtStartup()
{
    return UserDefaults::standard().boolForKey(splashKey);
}

void setOpenSplashAtStartup(bool on)
{
    UserDefaults::standard().setObject(on, splashKey);
}

QVariant alertChoice(const QString &identifier)
{
    return UserDefaults::standard().objectForKey(alertChoicePrefix + identifier);
}

void setAlertChoice(const QString &identifier, int code)
{
    UserDefaults::standard().setObject(code, alertChoicePrefix + identifier);
}

void forgetAlertChoices()
{
    UserDefaults::standard().removeObjectsWithPrefix(alertChoicePrefix);
}

} // namespace Settings
