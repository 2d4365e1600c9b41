#pragma once

#include <QString>

// The folders of the user a disk is made for, also when the program runs as root on their
// behalf (through sudo or pkexec): their data and state folders, and files made for them.
namespace UserFolders {

// True when root works for someone else, whose own folders are then the ones to use.
bool actingForAnotherUser();

// $XDG_DATA_HOME of that user, or ~/.local/share.
QString dataHome();
// $XDG_STATE_HOME of that user, or ~/.local/state.
QString stateHome();
// Makes `path` and its missing parents; those it made belong to that user.
bool makePath(const QString &path);
// Gives a file or folder made here to that user (nothing to do unless running as root).
void giveToUser(const QString &path);

} // namespace UserFolders
