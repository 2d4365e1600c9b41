#pragma once

// The steps a new disk goes through, as its phase reports number them (RamDiskDelegate::fase
// takes the number).
enum class Phase : int {
    Allocate = 0, // the memory is claimed (a device, or the memory disk's budget)
    Build = 1,    // the file system is written
    Mount = 2,    // the disk is mounted on its folder
    Finalize = 3, // the desktop's file manager is asked to show it
    Load = 4,     // a kept folder is copied onto it
};

// How a phase ended.
enum class PhaseStatus : int {
    Pending = -1,
    Failed = 0,
    Done = 1,
    NotDone = 2, // nothing failed, but the step was not done (no file manager to ask)
};
