#pragma once

#include <QString>

// The setting that holds the folder under which mount folders are made.
inline const QString MountPath_pref = QStringLiteral("MountPath");
// Its default, kept with the tilde and the trailing slash; expanded only when a path is made.
inline const QString DefaultMountPathLocation =
    QStringLiteral("~/Library/Application Support/Vellumar/");
