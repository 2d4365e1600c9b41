#pragma once

#include "Settings.h"

#include <QString>

// The setting that holds the folder under which mount folders are made, and its default (see
// Settings): on Linux "@media/", the user's media folder, where the helper makes each disk's
// folder by the disk's name.
inline const QString MountPath_pref = Settings::mountPathKey();
inline const QString DefaultMountPathLocation = Settings::defaultMountLocation();
inline const QString LibraryMountPathLocation = Settings::legacyMountLocation();
