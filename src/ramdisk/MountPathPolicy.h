#pragma once

#include <QString>

// Why a volume must not be mounted on `path`, as a sentence for the user; empty when the path
// is fine. Refused: relative paths, system folders, the home folder itself, paths under a plain
// file, existing mount points, and folders that hold files (mounting would hide them). The
// default place (MediaLocation) is the helper's to check.
QString mountPathProblem(const QString &path);
