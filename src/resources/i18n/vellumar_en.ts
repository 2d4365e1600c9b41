<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name></name>
    <message id="PlzInsertDiskSize">
        <source>Please enter a disk size</source>
        <translation>Please enter a disk size</translation>
    </message>
    <message id="OK">
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message id="tick">
        <source>✓</source>
        <translation>✓</translation>
    </message>
    <message id="cross">
        <source>✗</source>
        <translation>✗</translation>
    </message>
    <message id="dot">
        <source>•</source>
        <translation>•</translation>
    </message>
    <message id="ThisDiskIsActive">
        <source>This RAM disk is still mounted</source>
        <translation>This RAM disk is still mounted</translation>
    </message>
    <message id="Cancel">
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message id="close">
        <source>Close</source>
        <translation>Close</translation>
    </message>
    <message id="ejectNow">
        <source>Eject Now</source>
        <translation>Eject Now</translation>
    </message>
    <message id="YouWontEjectWithoutVellumar">
        <source>If you close the window, the RAM disk stays mounted and keeps its memory. You can still eject it when you quit Vellumar, or with “vellumarctl eject”.</source>
        <translation>If you close the window, the RAM disk stays mounted and keeps its memory. You can still eject it when you quit Vellumar, or with “vellumarctl eject”.</translation>
    </message>
    <message id="WarningSomeDiskActive">
        <source>Some RAM disks are still mounted</source>
        <translation>Some RAM disks are still mounted</translation>
    </message>
    <message id="YouWillHaveToUnmountTheDiskByYourSelf">
        <source>If you quit now, the disks stay mounted and keep their memory until you eject them yourself (“vellumarctl eject”).</source>
        <translation>If you quit now, the disks stay mounted and keep their memory until you eject them yourself (“vellumarctl eject”).</translation>
    </message>
    <message id="Quit">
        <source>Quit</source>
        <translation>Quit</translation>
    </message>
    <message id="EjectAll">
        <source>Eject All</source>
        <translation>Eject All</translation>
    </message>
</context>
</TS>
