<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name></name>
    <message id="KeepTooLarge">
        <source>The kept folder %1 holds %2, more than a disk of %3 can take (%4 once its file system is written), so no disk was made: choose a larger size or a folder with less in it.</source>
        <translation>The kept folder %1 holds %2, more than a disk of %3 can take (%4 once its file system is written), so no disk was made: choose a larger size or a folder with less in it.</translation>
    </message>
    <message id="KeepTooManyFiles">
        <source>The kept folder %1 holds %2 files and folders, more than the %4 a disk of %3 has room for, so no disk was made: choose a larger size.</source>
        <translation>The kept folder %1 holds %2 files and folders, more than the %4 a disk of %3 has room for, so no disk was made: choose a larger size.</translation>
    </message>
    <message id="KeepNotYourFolder">
        <source>The kept folder %1 belongs to %2, but the disk is made for %3, and kept contents are only copied as the folder's own user, so nothing was copied: choose a folder of %3's, or run this as %2.</source>
        <translation>The kept folder %1 belongs to %2, but the disk is made for %3, and kept contents are only copied as the folder's own user, so nothing was copied: choose a folder of %3's, or run this as %2.</translation>
    </message>
    <message id="KeepNoDisk">
        <source>No disk is mounted on %1, so nothing was copied: check that the disk is still there (vellumarctl list).</source>
        <translation>No disk is mounted on %1, so nothing was copied: check that the disk is still there (vellumarctl list).</translation>
    </message>
    <message id="KeepToolMissing">
        <source>%1 could not be started, so nothing was copied: install the rsync package and try again.</source>
        <translation>%1 could not be started, so nothing was copied: install the rsync package and try again.</translation>
    </message>
    <message id="KeepRsyncStopped">
        <source>the copying process was stopped before it finished</source>
        <translation>the copying process was stopped before it finished</translation>
    </message>
    <message id="KeepNoFilesNamed">
        <source>none named; the copy stopped as a whole</source>
        <translation>none named; the copy stopped as a whole</translation>
    </message>
    <message id="KeepSaveFailed">
        <source>Saving %1 to %2 did not complete (%3). The kept folder still holds each file whole, as last saved or newer. Not saved: %4. Free space in the kept folder or make those files readable, then save again (vellumarctl sync %1).</source>
        <translation>Saving %1 to %2 did not complete (%3). The kept folder still holds each file whole, as last saved or newer. Not saved: %4. Free space in the kept folder or make those files readable, then save again (vellumarctl sync %1).</translation>
    </message>
    <message id="KeepLoadFailed">
        <source>Loading %2 onto the disk on %1 did not complete (%3). Not loaded: %4. Check that the disk is large enough and the files are readable, then try again.</source>
        <translation>Loading %2 onto the disk on %1 did not complete (%3). Not loaded: %4. Check that the disk is large enough and the files are readable, then try again.</translation>
    </message>
    <message id="KeepLoadUndone">
        <source>The disk was ejected again, so no memory is held; the kept folder is unchanged.</source>
        <translation>The disk was ejected again, so no memory is held; the kept folder is unchanged.</translation>
    </message>
    <message id="KeepLoadNotUndone">
        <source>The disk on %1 could not be ejected again: eject it with vellumarctl eject %1 --force.</source>
        <translation>The disk on %1 could not be ejected again: eject it with vellumarctl eject %1 --force.</translation>
    </message>
    <message id="KeepAlreadyThere">
        <source>%1 is already there; nothing was made for it.</source>
        <translation>%1 is already there; nothing was made for it.</translation>
    </message>
    <message id="KeepSaved">
        <source>saved %1 to %2</source>
        <translation>saved %1 to %2</translation>
    </message>
    <message id="KeepSyncNeedsPath">
        <source>sync needs the mount folder of one kept disk: vellumarctl sync &lt;mount folder&gt;</source>
        <translation>sync needs the mount folder of one kept disk: vellumarctl sync &lt;mount folder&gt;</translation>
    </message>
    <message id="KeepNotKept">
        <source>The disk on %1 keeps no contents, so there is nothing to save: make it with --keep &lt;folder&gt; to keep them.</source>
        <translation>The disk on %1 keeps no contents, so there is nothing to save: make it with --keep &lt;folder&gt; to keep them.</translation>
    </message>
    <message id="KeepEjectStopped">
        <source>The disk was not ejected, so nothing on it is lost: fix what stopped the save and eject again, or add --force to eject without saving.</source>
        <translation>The disk was not ejected, so nothing on it is lost: fix what stopped the save and eject again, or add --force to eject without saving.</translation>
    </message>
    <message id="KeepEjectForced">
        <source>Ejecting all the same (--force): the files named above were not saved.</source>
        <translation>Ejecting all the same (--force): the files named above were not saved.</translation>
    </message>
    <message id="KeepNeverSaved">
        <source>never saved</source>
        <translation>never saved</translation>
    </message>
    <message id="KeepListLine">
        <source>    kept in %1, last complete save: %2</source>
        <translation>    kept in %1, last complete save: %2</translation>
    </message>
</context>
</TS>
