#pragma once

class RamDisk;

// A disk that another program unmounted (the command line, a second program, the system): this
// process owes it no teardown any more. Drops the disk's active flag and the active-disk count
// exactly once, and leaves the folder to whoever unmounted the disk. False, and nothing done,
// while a teardown of this process runs on the disk or once it is no longer active.
bool forgetEjectedElsewhere(RamDisk &disk);
