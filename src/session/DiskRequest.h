#pragma once

#include "DiskKind.h"
#include "DiskSize.h"

#include <QString>

// A disk as someone asks for it, in the window's form or on the command line.
struct DiskRequest
{
    QString size;      // as typed: "65536", "512M", "25%"
    QString name;      // empty: the default name
    QString mountPath; // "~" allowed; empty: a fresh folder under the mount location
    DiskKind kind = DiskKinds::defaultKind;
    QString keptFolder;    // empty: the disk keeps nothing; "~" allowed, else absolute
    bool remember = false; // made again at login
};

// The fact of a request that refused it.
enum class DiskRule { None, Size, Name, Kind, MountPath, KeptFolder, Memory, Privilege };

// Why a request is refused, in one sentence that both front ends show as it is.
struct Refusal
{
    DiskRule rule = DiskRule::None;
    QString sentence;
    DiskSize::Problem sizeProblem = DiskSize::Problem::None; // for DiskRule::Size
    bool ok() const { return rule == DiskRule::None; }
};
