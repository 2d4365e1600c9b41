#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <functional>

// Every setting of Vellumar by name and type, over the user-defaults store: no other file names
// a key. The remembered disks are read and written from the file as it is now, under a lock
// beside it, since the command line and other windows change them while a window runs.
namespace Settings {

// Where new disks get their mount folders (a folder, "~" allowed).
QString mountPathKey();
QString defaultMountLocation();
// The first releases' default, a folder under ~/Library; on Linux it reads as the default.
QString legacyMountLocation();
// Whether a stored location means the default (written exactly as either of the two above).
bool isDefaultMountLocation(const QString &stored);
// Registers the default location; mountLocation() answers it until the user chooses another.
void registerDefaults();
QString mountLocation();
void setMountLocation(const QString &folder);

// How often a kept disk is saved, in minutes; 0: only on eject and quit.
constexpr int DefaultSaveEveryMinutes = 5;
QString saveEveryMinutesKey();
int saveEveryMinutes();
void setSaveEveryMinutes(int minutes);

// The disks made at login, one map a disk, as the file holds them now.
QString rememberedDisksKey();
QVariantList rememberedDisks();
// Reads the list, lets `change` edit it and writes it back, all under the lock; false when the
// lock could not be had or the file not written.
bool changeRememberedDisks(const std::function<void(QVariantList &disks)> &change);

// The places (sidebar folders) Vellumar put among the desktop's, by URI, as the file holds them
// now; changed under the same lock as the remembered disks.
QStringList desktopPlaces();
bool changeDesktopPlaces(const std::function<void(QStringList &places)> &change);

// The application framework's: whether the first run's work was done, the splash at start-up,
// and the remembered answers of alerts whose "Don't show again" was ticked (by alert).
bool hasRunBefore();
void setHasRunBefore();
bool openSplashAtStartup();
void setOpenSplashAtStartup(bool on);
QVariant alertChoice(const QString &identifier); // invalid when none is remembered
void setAlertChoice(const QString &identifier, int code);
void forgetAlertChoices();

} // namespace Settings
