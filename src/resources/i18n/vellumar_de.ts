<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name></name>
    <message id="PlzInsertDiskSize">
        <source>Please enter a disk size</source>
        <translation>Bitte eine Größe eingeben</translation>
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
        <translation>Diese RAM-Disk ist noch eingehängt</translation>
    </message>
    <message id="Cancel">
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message id="close">
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message id="ejectNow">
        <source>Eject Now</source>
        <translation>Jetzt auswerfen</translation>
    </message>
    <message id="YouWontEjectWithoutVellumar">
        <source>If you close the window, the RAM disk stays mounted and keeps its memory. You can still eject it when you quit Vellumar, or with “vellumarctl eject”.</source>
        <translation>Wenn Sie das Fenster schließen, bleibt die RAM-Disk eingehängt und belegt weiter ihren Speicher. Sie können sie beim Beenden von Vellumar oder mit „vellumarctl eject“ auswerfen.</translation>
    </message>
    <message id="WarningSomeDiskActive">
        <source>Some RAM disks are still mounted</source>
        <translation>Einige RAM-Disks sind noch eingehängt</translation>
    </message>
    <message id="YouWillHaveToUnmountTheDiskByYourSelf">
        <source>If you quit now, the disks stay mounted and keep their memory until you eject them yourself (“vellumarctl eject”).</source>
        <translation>Wenn Sie jetzt beenden, bleiben die RAM-Disks eingehängt und belegen ihren Speicher, bis Sie sie selbst auswerfen („vellumarctl eject“).</translation>
    </message>
    <message id="Quit">
        <source>Quit</source>
        <translation>Beenden</translation>
    </message>
    <message id="EjectAll">
        <source>Eject All</source>
        <translation>Alle auswerfen</translation>
    </message>
</context>
</TS>
