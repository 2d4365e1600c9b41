<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name></name>
    <message id="EjectedElsewhere">
        <source>Ejected elsewhere</source>
        <translation>Ejected elsewhere</translation>
    </message>
    <message id="EjectedElsewhereMessage">
        <source>Another program ejected this RAM disk, so this window no longer holds it. Choose “New Disk” to make another.</source>
        <translation>Another program ejected this RAM disk, so this window no longer holds it. Choose “New Disk” to make another.</translation>
    </message>
    <message id="AlreadyRunningTitle">
        <source>Vellumar is already running</source>
        <translation>Vellumar is already running</translation>
    </message>
    <message id="AlreadyRunningNoAnswer">
        <source>A running Vellumar did not answer within %1 seconds, so no new window was opened. Switch to its window, or end it (for example with “pkill -x vellumar”) and start Vellumar again.</source>
        <translation>A running Vellumar did not answer within %1 seconds, so no new window was opened. Switch to its window, or end it (for example with “pkill -x vellumar”) and start Vellumar again.</translation>
    </message>
    <message id="TrayToolTip">
        <source>Vellumar: %1 RAM disk(s) mounted</source>
        <translation>Vellumar: %1 RAM disk(s) mounted</translation>
    </message>
    <message id="TrayDiskEntry">
        <source>%1 (%2, %3 of %4 used)</source>
        <translation>%1 (%2, %3 of %4 used)</translation>
    </message>
    <message id="TrayDiskEntrySize">
        <source>%1 (%2, %3)</source>
        <translation>%1 (%2, %3)</translation>
    </message>
    <message id="TrayOpen">
        <source>Open</source>
        <translation>Open</translation>
    </message>
    <message id="TrayEject">
        <source>Eject</source>
        <translation>Eject</translation>
    </message>
    <message id="TrayNoDisks">
        <source>No RAM disk mounted</source>
        <translation>No RAM disk mounted</translation>
    </message>
    <message id="TrayNewDisk">
        <source>New RAM Disk</source>
        <translation>New RAM Disk</translation>
    </message>
    <message id="TrayQuit">
        <source>Quit Vellumar</source>
        <translation>Quit Vellumar</translation>
    </message>
    <message id="TrayOpenFailedTitle">
        <source>The folder could not be opened</source>
        <translation>The folder could not be opened</translation>
    </message>
    <message id="TrayOpenFailed">
        <source>No file manager answered for %1. The disk's window shows the folder as a link; open it from there or in a file manager of your own.</source>
        <translation>No file manager answered for %1. The disk's window shows the folder as a link; open it from there or in a file manager of your own.</translation>
    </message>
</context>
</TS>
