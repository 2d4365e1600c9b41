#pragma once

#include <QString>

// The desktop's places, the folders a file manager lists in its sidebar beside the volumes: the
// bookmarks file that GTK file managers and file choosers read. A disk the desktop does not list
// as a volume gets a line there while it is mounted. Only a line we put there is ever taken away;
// every other line of the file stays as it was.
namespace DesktopPlaces {

// The bookmarks file ($XDG_CONFIG_HOME/gtk-3.0/bookmarks).
QString bookmarksFile();
// Puts `folder` among the places under `label`; nothing when a line names the folder already
// (it is the user's then, and stays theirs). False when the file could not be written.
bool add(const QString &folder, const QString &label);
// Takes away the line we put there for `folder`; nothing when we put none there.
bool remove(const QString &folder);

} // namespace DesktopPlaces
