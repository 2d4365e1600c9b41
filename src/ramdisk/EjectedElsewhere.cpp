#include "EjectedElsewhere.h"

#include "RamDisk.h"

bool forgetEjectedElsewhere(RamDisk &disk)
{
    if (!disk.isMountedAndActive() || !disk.beginTeardown())
        return false;
    // With no folder of its own, removeMountPath() only uncounts the disk; it does so once.
    disk.setMadeMountFolder(false);
    disk.removeMountPath();
    disk.endTeardown();
    return true;
}
