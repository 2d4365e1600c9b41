#pragma once

#include <QString>

// The default place of disks on Linux: the folder the desktop shows volumes in, /media/<user>
// (or /run/media/<user> where the system uses that one and there is no /media/<user>). The
// helper makes each disk's folder there, named after the disk, and removes it at eject; the
// engine only asks for one by the disk's name and is told where it is.
class MediaLocation
{
public:
    // The folder the invoking user's disks appear in, without a trailing slash.
    static QString folder();
    // Whether the helper makes the folder for `path` rather than it being a folder of the
    // user's own: the media folder itself, a folder directly inside it (a disk made again at
    // login asks for the name it had), or a request already written.
    static bool isDefault(const QString &path);
    // What the helper is asked for: "@media/<name>", named after the disk for the media folder
    // itself, after the folder for one inside it.
    static QString request(const QString &path, const QString &diskName);
    // Whether `path` is a folder directly inside the user's media folder: one the helper made
    // and removes, never the user.
    static bool holds(const QString &path);

private:
    static QString userName();
};
