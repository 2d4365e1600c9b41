#pragma once

#include "Settings.h"

#include <QString>

// The setting that holds the folder under which mount folders are made, and its default (see
// Settings).
inline const QString MountPath_pref = Settings::mountPathKey();
inline const QString DefaultMountPathLocation = Settings::defaultMountLocation();
