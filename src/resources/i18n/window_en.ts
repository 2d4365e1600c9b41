<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name></name>
    <message id="WindowTitle">
        <source>RAM Disk</source>
        <translation>RAM Disk</translation>
    </message>
    <message id="SizePresetLabel">
        <source>Size preset:</source>
        <translation>Size preset:</translation>
    </message>
    <message id="DiskSizeLabel">
        <source>&amp;Size:</source>
        <translation>&amp;Size:</translation>
    </message>
    <message id="DiskNameLabel">
        <source>Volume name:</source>
        <translation>Volume name:</translation>
    </message>
    <message id="MountPathLabel">
        <source>Mount path:</source>
        <translation>Mount path:</translation>
    </message>
    <message id="AutomaticPath">
        <source>Automatic</source>
        <translation>Automatic</translation>
    </message>
    <message id="CreateButton">
        <source>Create</source>
        <translation>Create</translation>
    </message>
    <message id="AllocatePhase">
        <source>Allocating memory</source>
        <translation>Allocating memory</translation>
    </message>
    <message id="BuildPhase">
        <source>Making the file system</source>
        <translation>Making the file system</translation>
    </message>
    <message id="MountPhase">
        <source>Mounting</source>
        <translation>Mounting</translation>
    </message>
    <message id="FinalizePhase">
        <source>Showing the folder</source>
        <translation>Showing the folder</translation>
    </message>
    <message id="EjectButton">
        <source>Eject</source>
        <translation>Eject</translation>
    </message>
    <message id="EjectingDisk">
        <source>Ejecting the disk…</source>
        <translation>Ejecting the disk…</translation>
    </message>
    <message id="DiskEjected">
        <source>The disk was ejected and its memory given back.</source>
        <translation>The disk was ejected and its memory given back.</translation>
    </message>
    <message id="DiskNotEjected">
        <source>The disk could not be ejected; it stays mounted. Close what uses it, then try again.</source>
        <translation>The disk could not be ejected; it stays mounted. Close what uses it, then try again.</translation>
    </message>
    <message id="RetryEject">
        <source>Try Again</source>
        <translation>Try Again</translation>
    </message>
    <message id="ContinueButton">
        <source>New Disk</source>
        <translation>New Disk</translation>
    </message>
    <message id="MemoryLabel">
        <source>Memory used:</source>
        <translation>Memory used:</translation>
    </message>
    <message id="MemoryDetails">
        <source>Memory details</source>
        <translation>Memory details</translation>
    </message>
    <message id="TotalMemory">
        <source>Total:</source>
        <translation>Total:</translation>
    </message>
    <message id="UsedMemory">
        <source>Used:</source>
        <translation>Used:</translation>
    </message>
    <message id="WiredMemory">
        <source>Wired:</source>
        <translation>Wired:</translation>
    </message>
    <message id="InactiveMemory">
        <source>Inactive:</source>
        <translation>Inactive:</translation>
    </message>
    <message id="FreeMemory">
        <source>Free:</source>
        <translation>Free:</translation>
    </message>
    <message id="FreePages">
        <source>Free pages:</source>
        <translation>Free pages:</translation>
    </message>
    <message id="PageIns">
        <source>Page-ins:</source>
        <translation>Page-ins:</translation>
    </message>
    <message id="PageOuts">
        <source>Page-outs:</source>
        <translation>Page-outs:</translation>
    </message>
    <message id="Hits">
        <source>Cache hits:</source>
        <translation>Cache hits:</translation>
    </message>
    <message id="Faults">
        <source>Faults:</source>
        <translation>Faults:</translation>
    </message>
    <message id="FreeEntry">
        <source>Custom size</source>
        <translation>Custom size</translation>
    </message>
    <message id="SizeDoesNotFit">
        <source>This size is too large</source>
        <translation>This size is too large</translation>
    </message>
    <message id="SizeExceedsMemory">
        <source>Not enough memory for this disk</source>
        <translation>Not enough memory for this disk</translation>
    </message>
    <message id="MountPathInvalid">
        <source>This mount path cannot be used</source>
        <translation>This mount path cannot be used</translation>
    </message>
    <message id="MenuFile">
        <source>&amp;File</source>
        <translation>&amp;File</translation>
    </message>
    <message id="MenuAbout">
        <source>&amp;About Vellumar</source>
        <translation>&amp;About Vellumar</translation>
    </message>
    <message id="MenuPreferences">
        <source>&amp;Preferences…</source>
        <translation>&amp;Preferences…</translation>
    </message>
    <message id="MenuNew">
        <source>&amp;New RAM Disk</source>
        <translation>&amp;New RAM Disk</translation>
    </message>
    <message id="MenuClose">
        <source>&amp;Close Window</source>
        <translation>&amp;Close Window</translation>
    </message>
    <message id="MenuQuit">
        <source>&amp;Quit</source>
        <translation>&amp;Quit</translation>
    </message>
    <message id="AboutTitle">
        <source>About Vellumar</source>
        <translation>About Vellumar</translation>
    </message>
    <message id="AboutText">
        <source>Vellumar %1

Makes RAM disks: volumes whose storage is memory. Each disk has its own window, which also shows the machine's memory figures.</source>
        <translation>Vellumar %1

Makes RAM disks: volumes whose storage is memory. Each disk has its own window, which also shows the machine's memory figures.</translation>
    </message>
    <message id="PrefsWindowTitle">
        <source>Vellumar Preferences</source>
        <translation>Vellumar Preferences</translation>
    </message>
    <message id="MountLocationTitle">
        <source>Make mount folders</source>
        <translation>Make mount folders</translation>
    </message>
    <message id="DefaultLocationCell">
        <source>Where the desktop shows volumes</source>
        <translation>Where the desktop shows volumes</translation>
    </message>
    <message id="CustomLocationCell">
        <source>In a folder of my choice…</source>
        <translation>In a folder of my choice…</translation>
    </message>
    <message id="LocationFieldLabel">
        <source>Location:</source>
        <translation>Location:</translation>
    </message>
    <message id="ChooseMountLocation">
        <source>Choose the Folder for Mount Folders</source>
        <translation>Choose the Folder for Mount Folders</translation>
    </message>
    <message id="MenuHelp">
        <source>&amp;Help</source>
        <translation>&amp;Help</translation>
    </message>
    <message id="AboutLicence">
        <source>Vellumar is free software under the GNU General Public License, version 3 or later. It comes with no warranty.</source>
        <translation>Vellumar is free software under the GNU General Public License, version 3 or later. It comes with no warranty.</translation>
    </message>
    <message id="DiskSizePlaceholder">
        <source>e.g. 512M, 1.5G, 25%</source>
        <translation>e.g. 512M, 1.5G, 25%</translation>
    </message>
    <message id="SizeTooSmall">
        <source>This size is too small</source>
        <translation>This size is too small</translation>
    </message>
    <message id="SizePreviewInvalid">
        <source>not a size</source>
        <translation>not a size</translation>
    </message>
    <message id="WindowTitleNew">
        <source>New RAM Disk – Vellumar</source>
        <translation>New RAM Disk – Vellumar</translation>
    </message>
    <message id="WindowTitleDisk">
        <source>%1 (%2) – Vellumar</source>
        <translation>%1 (%2) – Vellumar</translation>
    </message>
    <message id="BuildSize">
        <source>Size: %1</source>
        <translation>Size: %1</translation>
    </message>
    <message id="MenuEject">
        <source>&amp;Eject Disk</source>
        <translation>&amp;Eject Disk</translation>
    </message>
    <message id="AllocateFailed">
        <source>The memory for the disk could not be set aside.</source>
        <translation>The memory for the disk could not be set aside.</translation>
    </message>
    <message id="BuildFailed">
        <source>The file system could not be written on the disk.</source>
        <translation>The file system could not be written on the disk.</translation>
    </message>
    <message id="MountFailed">
        <source>The disk could not be mounted.</source>
        <translation>The disk could not be mounted.</translation>
    </message>
    <message id="ThisDiskIsIncomplete">
        <source>This RAM disk was not made completely</source>
        <translation>This RAM disk was not made completely</translation>
    </message>
    <message id="IncompleteDiskHoldsMemory">
        <source>What was made of it still holds memory. Eject it to give the memory back; if you close the window, you can still eject it when you quit Vellumar.</source>
        <translation>What was made of it still holds memory. Eject it to give the memory back; if you close the window, you can still eject it when you quit Vellumar.</translation>
    </message>
    <message id="CannotMakeDisks">
        <source>Disks cannot be made</source>
        <translation>Disks cannot be made</translation>
    </message>
    <message id="KeepContentsCheck">
        <source>Keep contents</source>
        <translation>&amp;Keep contents</translation>
    </message>
    <message id="KeepContentsInLabel">
        <source>Keep contents in:</source>
        <translation>Keep contents in:</translation>
    </message>
    <message id="ChooseKeptFolder">
        <source>Choose…</source>
        <translation>Choose…</translation>
    </message>
    <message id="ChooseKeptFolderTitle">
        <source>Choose the folder that keeps the disk's contents</source>
        <translation>Choose the folder that keeps the disk's contents</translation>
    </message>
    <message id="CreateAtLogin">
        <source>Create at login</source>
        <translation>Create at &amp;login</translation>
    </message>
    <message id="LoadKeptPhase">
        <source>Load kept contents</source>
        <translation>Load kept contents</translation>
    </message>
    <message id="KeptFolderInvalid">
        <source>The kept contents cannot be used</source>
        <translation>The kept contents cannot be used</translation>
    </message>
    <message id="KeepNotSavedFiles">
        <source>Not saved: %1</source>
        <translation>Not saved: %1</translation>
    </message>
    <message id="KeepLoadFailedWindow">
        <source>The kept contents could not be loaded onto the disk, so the disk goes again without saving and %1 stays as it was. Try again once the cause below is fixed.</source>
        <translation>The kept contents could not be loaded onto the disk, so the disk goes again without saving and %1 stays as it was. Try again once the cause below is fixed.</translation>
    </message>
    <message id="KeptInfo">
        <source>Kept in %1 · Last saved: %2</source>
        <translation>Kept in %1 · Last saved: %2</translation>
    </message>
    <message id="KeptNotSavedYet">
        <source>not yet</source>
        <translation>not yet</translation>
    </message>
    <message id="KeepSaveFailedWindow">
        <source>The last save failed: the folder still holds the previous copy.</source>
        <translation>The last save failed: the folder still holds the previous copy.</translation>
    </message>
    <message id="KeepSaveFailedTitle">
        <source>The disk's contents could not all be saved</source>
        <translation>The disk's contents could not all be saved</translation>
    </message>
    <message id="KeepSaveFailedMessage">
        <source>Ejecting now gives back the memory and loses what was not saved; the folder keeps its previous copy. Cancel keeps the disk, so you can fix the cause or copy the files yourself.</source>
        <translation>Ejecting now gives back the memory and loses what was not saved; the folder keeps its previous copy. Cancel keeps the disk, so you can fix the cause or copy the files yourself.</translation>
    </message>
    <message id="EjectAnyway">
        <source>Eject anyway</source>
        <translation>Eject anyway</translation>
    </message>
    <message id="SaveEveryMinutesLabel">
        <source>Save kept disks every (minutes, 0 = only on eject):</source>
        <translation>Save kept disks every (minutes, 0 = only on eject):</translation>
    </message>
    <message id="RememberedDisksTitle">
        <source>Disks created at login</source>
        <translation>Disks created at login</translation>
    </message>
    <message id="ForgetRemembered">
        <source>Forget</source>
        <translation>Forget</translation>
    </message>
    <message id="RememberedDiskEntry">
        <source>%1 (%2) on %3</source>
        <translation>%1 (%2) on %3</translation>
    </message>
    <message id="RememberedDiskKept">
        <source>%1, kept in %2</source>
        <translation>%1, kept in %2</translation>
    </message>
</context>
</TS>
