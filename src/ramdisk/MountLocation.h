#pragma once

#include <QString>

// The setting that holds the folder under which mount folders are made.
inline const QString MountPath_pref = QStringLiteral("MountPath");
// The original platform's default, kept with the tilde and the trailing slash; expanded only
// when a path is made.
inline const QString LibraryMountPathLocation =
    QStringLiteral("~/Library/Application Support/Vellumar/");
#ifdef Q_OS_MACOS
inline const QString DefaultMountPathLocation = LibraryMountPathLocation;
#else
// Where the desktop shows volumes (MediaLocation): the helper makes each disk's folder there.
inline const QString DefaultMountPathLocation = QStringLiteral("@media/");
#endif

// Whether a stored location means the default: on Linux a setting naming the original
// platform's default reads as the new one.
inline bool isDefaultMountPathLocation(const QString &stored)
{
    return stored == DefaultMountPathLocation || stored == LibraryMountPathLocation;
}
