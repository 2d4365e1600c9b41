#pragma once

#include <QString>

namespace Paths {

// "~" and "~/..." become the user's home folder, "~name/..." that user's home folder; any other
// path is returned as it is.
QString expandTilde(const QString &path);

// The path without its last component: "/a/b/c" gives "/a/b", "/a" gives "/".
QString deletingLastPathComponent(const QString &path);

// The user who asked for the work: the one behind sudo or pkexec when there is one.
struct Owner
{
    uint uid;
    uint gid;
};
Owner invokingUser();

} // namespace Paths
