<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name></name>
    <message id="ToolTimedOut">
        <source>%1 did not finish within %2 seconds and was stopped. Try again; if it keeps happening, restart the machine.</source>
        <translation>%1 did not finish within %2 seconds and was stopped. Try again; if it keeps happening, restart the machine.</translation>
    </message>
    <message id="ToolExitStatus">
        <source>%1 failed with exit status %2.</source>
        <translation>%1 failed with exit status %2.</translation>
    </message>
    <message id="NoDevicePrinted">
        <source>%1 printed no device, so no memory device was made. Check that enough memory is free and try again.</source>
        <translation>%1 printed no device, so no memory device was made. Check that enough memory is free and try again.</translation>
    </message>
    <message id="NoDeviceToFormat">
        <source>No memory device: the file system was not written because no memory device was made.</source>
        <translation>No memory device: the file system was not written because no memory device was made.</translation>
    </message>
    <message id="NoDeviceToMount">
        <source>No memory device: nothing was mounted because no memory device was made.</source>
        <translation>No memory device: nothing was mounted because no memory device was made.</translation>
    </message>
    <message id="NoFileSystemNeeded">
        <source>A memory disk needs no file system to be made: the kernel keeps its files in memory directly.</source>
        <translation>A memory disk needs no file system to be made: the kernel keeps its files in memory directly.</translation>
    </message>
    <message id="NoDeviceToDetach">
        <source>No memory device: there was nothing to detach.</source>
        <translation>No memory device: there was nothing to detach.</translation>
    </message>
    <message id="LabelCut">
        <source>The volume name was cut to %1 bytes: "%2".</source>
        <translation>The volume name was cut to %1 bytes: "%2".</translation>
    </message>
    <message id="MountPathNotAbsolute">
        <source>The mount path "%1" is not absolute: give a full path that starts with /.</source>
        <translation>The mount path "%1" is not absolute: give a full path that starts with /.</translation>
    </message>
    <message id="MountPathSystemFolder">
        <source>"%1" is a system folder: choose a folder of your own for the disk.</source>
        <translation>"%1" is a system folder: choose a folder of your own for the disk.</translation>
    </message>
    <message id="MountPathHomeFolder">
        <source>"%1" is your home folder and mounting there would hide your files: choose a folder inside it instead.</source>
        <translation>"%1" is your home folder and mounting there would hide your files: choose a folder inside it instead.</translation>
    </message>
    <message id="MountPathUnderFile">
        <source>"%1" lies under "%2", which is a file, not a folder: choose another mount path.</source>
        <translation>"%1" lies under "%2", which is a file, not a folder: choose another mount path.</translation>
    </message>
    <message id="MountPathIsFile">
        <source>"%1" is a file, not a folder: choose another mount path.</source>
        <translation>"%1" is a file, not a folder: choose another mount path.</translation>
    </message>
    <message id="MountPathAlreadyMounted">
        <source>Something is already mounted on "%1": eject it first or choose another folder.</source>
        <translation>Something is already mounted on "%1": eject it first or choose another folder.</translation>
    </message>
    <message id="MountPathNotEmpty">
        <source>"%1" holds files that the disk would hide: choose an empty or a new folder.</source>
        <translation>"%1" holds files that the disk would hide: choose an empty or a new folder.</translation>
    </message>
    <message id="TeardownAlreadyRunning">
        <source>This disk is already being ejected.</source>
        <translation>This disk is already being ejected.</translation>
    </message>
    <message id="StillMounted">
        <source>"%1" is still in use: close the files open on it and eject again.</source>
        <translation>"%1" is still in use: close the files open on it and eject again.</translation>
    </message>
    <message id="StillAttached">
        <source>The memory device %1 is still in use (%2): close the files open on it and eject again.</source>
        <translation>The memory device %1 is still in use (%2): close the files open on it and eject again.</translation>
    </message>
    <message id="CtlUsage">
        <source>Usage:
  vellumarctl create --size &lt;KiB&gt; [--name &lt;name&gt;] [--mount &lt;path&gt;]
  vellumarctl list [--json]
  vellumarctl eject &lt;mount path&gt;
  vellumarctl mem [--json]
  vellumarctl swap [--json]</source>
        <translation>Usage:
  vellumarctl create --size &lt;KiB&gt; [--name &lt;name&gt;] [--mount &lt;path&gt;]
  vellumarctl list [--json]
  vellumarctl eject &lt;mount path&gt;
  vellumarctl mem [--json]
  vellumarctl swap [--json]</translation>
    </message>
    <message id="CtlSizeNotNumber">
        <source>the size "%1" is not a number: give the disk size in KiB as a whole number.</source>
        <translation>the size "%1" is not a number: give the disk size in KiB as a whole number.</translation>
    </message>
    <message id="CtlSizeTooManyBlocks">
        <source>%1 KiB is too large for one disk (at most %2 KiB): choose a smaller size.</source>
        <translation>%1 KiB is too large for one disk (at most %2 KiB): choose a smaller size.</translation>
    </message>
    <message id="CtlUnknownArgument">
        <source>unknown argument "%1": see vellumarctl --help.</source>
        <translation>unknown argument "%1": see vellumarctl --help.</translation>
    </message>
    <message id="CtlUnknownCommand">
        <source>unknown command "%1": the commands are create, list and eject (see vellumarctl --help).</source>
        <translation>unknown command "%1": the commands are create, list and eject (see vellumarctl --help).</translation>
    </message>
    <message id="CtlEjectNeedsPath">
        <source>eject needs the mount path of one disk: vellumarctl eject &lt;mount path&gt;.</source>
        <translation>eject needs the mount path of one disk: vellumarctl eject &lt;mount path&gt;.</translation>
    </message>
    <message id="CtlMissingValue">
        <source>%1 needs a value.</source>
        <translation>%1 needs a value.</translation>
    </message>
    <message id="CtlNotOurDisk">
        <source>"%1" is not a Vellumar disk, so nothing was changed: vellumarctl list shows the disks.</source>
        <translation>"%1" is not a Vellumar disk, so nothing was changed: vellumarctl list shows the disks.</translation>
    </message>
    <message id="CtlNeedsRoot">
        <source>%1 needs root: run it again with sudo.</source>
        <translation>%1 needs root: run it again with sudo.</translation>
    </message>
    <message id="CtlCreateFailed">
        <source>the disk could not be made; what was made for it has been removed again.</source>
        <translation>the disk could not be made; what was made for it has been removed again.</translation>
    </message>
    <message id="CtlCleanupFailed">
        <source>the disk could not be made, and removing what was made failed: %1</source>
        <translation>the disk could not be made, and removing what was made failed: %1</translation>
    </message>
    <message id="PrivilegeDismissed">
        <source>The authentication was cancelled, so nothing was changed. Try again and authenticate to make or eject disks.</source>
        <translation>The authentication was cancelled, so nothing was changed. Try again and authenticate to make or eject disks.</translation>
    </message>
    <message id="PrivilegeRefused">
        <source>The system does not allow you to make or eject RAM disks, so nothing was changed: ask an administrator to allow the action %1 (pkexec: %2).</source>
        <translation>The system does not allow you to make or eject RAM disks, so nothing was changed: ask an administrator to allow the action %1 (pkexec: %2).</translation>
    </message>
    <message id="PkexecMissing">
        <source>Disks cannot be made: pkexec is not installed. Install the packages pkexec and polkitd (or Vellumar's package, which pulls them in).</source>
        <translation>Disks cannot be made: pkexec is not installed. Install the packages pkexec and polkitd (or Vellumar's package, which pulls them in).</translation>
    </message>
    <message id="HelperMissing">
        <source>Disks cannot be made: Vellumar's disk helper %1 is not installed. Install Vellumar's package or run "make install".</source>
        <translation>Disks cannot be made: Vellumar's disk helper %1 is not installed. Install Vellumar's package or run "make install".</translation>
    </message>
    <message id="PolicyMissing">
        <source>Disks cannot be made: the system policy %1 that lets users run Vellumar's disk helper is not installed. Install Vellumar's package or run "make install".</source>
        <translation>Disks cannot be made: the system policy %1 that lets users run Vellumar's disk helper is not installed. Install Vellumar's package or run "make install".</translation>
    </message>
    <message id="HelperFailed">
        <source>Disks cannot be made: Vellumar's disk helper did not answer as expected (%1).</source>
        <translation>Disks cannot be made: Vellumar's disk helper did not answer as expected (%1).</translation>
    </message>
    <message id="MountPathParentMissing">
        <source>The disk cannot be mounted on "%1": the folder %2 does not exist. Choose a folder inside an existing one.</source>
        <translation>The disk cannot be mounted on "%1": the folder %2 does not exist. Choose a folder inside an existing one.</translation>
    </message>
    <message id="UnmountRefused">
        <source>The disk on "%1" stays mounted, and its memory stays in use: %2.</source>
        <translation>The disk on "%1" stays mounted, and its memory stays in use: %2.</translation>
    </message>
    <message id="AlertDiskFull">
        <source>%1 is nearly full</source>
        <translation>%1 is nearly full</translation>
    </message>
    <message id="AlertDiskFullMessage">
        <source>%1 of %2 is used. Delete files you no longer need, or copy them elsewhere and make a larger disk.</source>
        <translation>%1 of %2 is used. Delete files you no longer need, or copy them elsewhere and make a larger disk.</translation>
    </message>
    <message id="AlertMemoryLow">
        <source>The machine is running out of memory</source>
        <translation>The machine is running out of memory</translation>
    </message>
    <message id="AlertMemoryLowMessage">
        <source>Only %1 of memory is available, and the RAM disk %2 holds %3. Delete files on your RAM disks or eject those you no longer need, or programs may be ended by the system.</source>
        <translation>Only %1 of memory is available, and the RAM disk %2 holds %3. Delete files on your RAM disks or eject those you no longer need, or programs may be ended by the system.</translation>
    </message>
    <message id="AlertSaveFailed">
        <source>%1 was not saved</source>
        <translation>%1 was not saved</translation>
    </message>
    <message id="AlertSaveFailedMessage">
        <source>The folder %1 still holds the last complete save. Open the disk's window to see which files were not saved, and make room in the folder or check its permissions.</source>
        <translation>The folder %1 still holds the last complete save. Open the disk's window to see which files were not saved, and make room in the folder or check its permissions.</translation>
    </message>
    <message id="KindWordMemory">
        <source>memory</source>
        <translation>memory</translation>
    </message>
    <message id="KindWordCompressed">
        <source>compressed</source>
        <translation>compressed</translation>
    </message>
    <message id="KindWordBlock">
        <source>block device</source>
        <translation>block device</translation>
    </message>
    <message id="DiskHoldsMemory">
        <source>Holds %1 of memory</source>
        <translation>Holds %1 of memory</translation>
    </message>
    <message id="DiskHoldsMemoryForData">
        <source>Holds %1 of memory for %2 of data (%3)</source>
        <translation>Holds %1 of memory for %2 of data (%3)</translation>
    </message>
    <message id="DiskKindLine">
        <source>Kind: %1</source>
        <translation>Kind: %1</translation>
    </message>
    <message id="DiskKindAndHeldLine">
        <source>Kind: %1. %2</source>
        <translation>Kind: %1. %2</translation>
    </message>
</context>
</TS>
