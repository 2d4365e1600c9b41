<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name></name>
    <message id="ToolTimedOut">
        <source>%1 did not finish within %2 seconds and was stopped. Try again; if it keeps happening, restart the machine.</source>
        <translation>%1 war nach %2 Sekunden nicht fertig und wurde beendet. Versuchen Sie es erneut; wenn es wieder geschieht, starten Sie den Rechner neu.</translation>
    </message>
    <message id="ToolExitStatus">
        <source>%1 failed with exit status %2.</source>
        <translation>%1 ist mit dem Status %2 gescheitert.</translation>
    </message>
    <message id="NoDevicePrinted">
        <source>%1 printed no device, so no memory device was made. Check that enough memory is free and try again.</source>
        <translation>%1 hat kein Gerät genannt, es wurde also kein Speichergerät angelegt. Prüfen Sie, ob genug Speicher frei ist, und versuchen Sie es erneut.</translation>
    </message>
    <message id="NoDeviceToFormat">
        <source>No memory device: the file system was not written because no memory device was made.</source>
        <translation>Kein Speichergerät: Das Dateisystem wurde nicht geschrieben, weil kein Speichergerät angelegt wurde.</translation>
    </message>
    <message id="NoDeviceToMount">
        <source>No memory device: nothing was mounted because no memory device was made.</source>
        <translation>Kein Speichergerät: Nichts wurde eingehängt, weil kein Speichergerät angelegt wurde.</translation>
    </message>
    <message id="NoFileSystemNeeded">
        <source>A memory disk needs no file system to be made: the kernel keeps its files in memory directly.</source>
        <translation>Ein Speicherlaufwerk braucht kein Dateisystem: Der Kernel hält seine Dateien direkt im Speicher.</translation>
    </message>
    <message id="NoDeviceToDetach">
        <source>No memory device: there was nothing to detach.</source>
        <translation>Kein Speichergerät: Es gab nichts freizugeben.</translation>
    </message>
    <message id="LabelCut">
        <source>The volume name was cut to %1 bytes: "%2".</source>
        <translation>Der Volumename wurde auf %1 Bytes gekürzt: „%2“.</translation>
    </message>
    <message id="MountPathNotAbsolute">
        <source>The mount path "%1" is not absolute: give a full path that starts with /.</source>
        <translation>Der Einhängepfad „%1“ ist nicht absolut: Geben Sie einen vollständigen Pfad an, der mit / beginnt.</translation>
    </message>
    <message id="MountPathSystemFolder">
        <source>"%1" is a system folder: choose a folder of your own for the disk.</source>
        <translation>„%1“ ist ein Systemordner: Wählen Sie einen eigenen Ordner für das Volume.</translation>
    </message>
    <message id="MountPathHomeFolder">
        <source>"%1" is your home folder and mounting there would hide your files: choose a folder inside it instead.</source>
        <translation>„%1“ ist Ihr Benutzerordner, Einhängen würde Ihre Dateien verdecken: Wählen Sie stattdessen einen Ordner darin.</translation>
    </message>
    <message id="MountPathUnderFile">
        <source>"%1" lies under "%2", which is a file, not a folder: choose another mount path.</source>
        <translation>„%1“ liegt unter „%2“, und das ist eine Datei, kein Ordner: Wählen Sie einen anderen Einhängepfad.</translation>
    </message>
    <message id="MountPathIsFile">
        <source>"%1" is a file, not a folder: choose another mount path.</source>
        <translation>„%1“ ist eine Datei, kein Ordner: Wählen Sie einen anderen Einhängepfad.</translation>
    </message>
    <message id="MountPathAlreadyMounted">
        <source>Something is already mounted on "%1": eject it first or choose another folder.</source>
        <translation>Auf „%1“ ist schon etwas eingehängt: Werfen Sie es zuerst aus oder wählen Sie einen anderen Ordner.</translation>
    </message>
    <message id="MountPathNotEmpty">
        <source>"%1" holds files that the disk would hide: choose an empty or a new folder.</source>
        <translation>„%1“ enthält Dateien, die das Volume verdecken würde: Wählen Sie einen leeren oder neuen Ordner.</translation>
    </message>
    <message id="TeardownAlreadyRunning">
        <source>This disk is already being ejected.</source>
        <translation>Dieses Volume wird bereits ausgeworfen.</translation>
    </message>
    <message id="StillMounted">
        <source>"%1" is still in use: close the files open on it and eject again.</source>
        <translation>„%1“ wird noch benutzt: Schließen Sie die darauf geöffneten Dateien und werfen Sie es erneut aus.</translation>
    </message>
    <message id="StillAttached">
        <source>The memory device %1 is still in use (%2): close the files open on it and eject again.</source>
        <translation>Das Speichergerät %1 wird noch benutzt (%2): Schließen Sie die darauf geöffneten Dateien und werfen Sie es erneut aus.</translation>
    </message>
    <message id="CtlUsage">
        <source>Usage:
  vellumarctl create --size &lt;KiB&gt; [--name &lt;name&gt;] [--mount &lt;path&gt;]
  vellumarctl list [--json]
  vellumarctl eject &lt;mount path&gt;
  vellumarctl mem [--json]
  vellumarctl swap [--json]</source>
        <translation>Aufruf:
  vellumarctl create --size &lt;KiB&gt; [--name &lt;Name&gt;] [--mount &lt;Pfad&gt;]
  vellumarctl list [--json]
  vellumarctl eject &lt;Einhängepfad&gt;
  vellumarctl mem [--json]
  vellumarctl swap [--json]</translation>
    </message>
    <message id="CtlSizeNotNumber">
        <source>the size "%1" is not a number: give the disk size in KiB as a whole number.</source>
        <translation>die Größe „%1“ ist keine Zahl: Geben Sie die Größe als ganze Zahl in KiB an.</translation>
    </message>
    <message id="CtlSizeTooManyBlocks">
        <source>%1 KiB is too large for one disk (at most %2 KiB): choose a smaller size.</source>
        <translation>%1 KiB sind zu groß für ein Volume (höchstens %2 KiB): Wählen Sie eine kleinere Größe.</translation>
    </message>
    <message id="CtlUnknownArgument">
        <source>unknown argument "%1": see vellumarctl --help.</source>
        <translation>unbekanntes Argument „%1“: siehe vellumarctl --help.</translation>
    </message>
    <message id="CtlUnknownCommand">
        <source>unknown command "%1": the commands are create, list and eject (see vellumarctl --help).</source>
        <translation>unbekannter Befehl „%1“: Die Befehle sind create, list und eject (siehe vellumarctl --help).</translation>
    </message>
    <message id="CtlEjectNeedsPath">
        <source>eject needs the mount path of one disk: vellumarctl eject &lt;mount path&gt;.</source>
        <translation>eject braucht den Einhängepfad genau eines Volumes: vellumarctl eject &lt;Einhängepfad&gt;.</translation>
    </message>
    <message id="CtlMissingValue">
        <source>%1 needs a value.</source>
        <translation>%1 braucht einen Wert.</translation>
    </message>
    <message id="CtlNotOurDisk">
        <source>"%1" is not a Vellumar disk, so nothing was changed: vellumarctl list shows the disks.</source>
        <translation>„%1“ ist kein Vellumar-Volume, es wurde nichts geändert: vellumarctl list zeigt die Volumes.</translation>
    </message>
    <message id="CtlNeedsRoot">
        <source>%1 needs root: run it again with sudo.</source>
        <translation>%1 braucht Root-Rechte: Rufen Sie es mit sudo erneut auf.</translation>
    </message>
    <message id="CtlCreateFailed">
        <source>the disk could not be made; what was made for it has been removed again.</source>
        <translation>das Volume konnte nicht angelegt werden; was dafür angelegt wurde, ist wieder entfernt.</translation>
    </message>
    <message id="CtlCleanupFailed">
        <source>the disk could not be made, and removing what was made failed: %1</source>
        <translation>das Volume konnte nicht angelegt werden, und das Entfernen des Angelegten schlug fehl: %1</translation>
    </message>
    <message id="PrivilegeDismissed">
        <source>The authentication was cancelled, so nothing was changed. Try again and authenticate to make or eject disks.</source>
        <translation>Die Legitimation wurde abgebrochen, daher wurde nichts geändert. Versuchen Sie es erneut und legitimieren Sie sich, um Volumes anzulegen oder auszuwerfen.</translation>
    </message>
    <message id="PrivilegeRefused">
        <source>The system does not allow you to make or eject RAM disks, so nothing was changed: ask an administrator to allow the action %1 (pkexec: %2).</source>
        <translation>Das System erlaubt Ihnen nicht, RAM-Volumes anzulegen oder auszuwerfen, daher wurde nichts geändert: Bitten Sie einen Administrator, die Aktion %1 zu erlauben (pkexec: %2).</translation>
    </message>
    <message id="PkexecMissing">
        <source>Disks cannot be made: pkexec is not installed. Install the packages pkexec and polkitd (or Vellumar's package, which pulls them in).</source>
        <translation>Volumes können nicht angelegt werden: pkexec ist nicht installiert. Installieren Sie die Pakete pkexec und polkitd (oder das Vellumar-Paket, das sie mitbringt).</translation>
    </message>
    <message id="HelperMissing">
        <source>Disks cannot be made: Vellumar's disk helper %1 is not installed. Install Vellumar's package or run "make install".</source>
        <translation>Volumes können nicht angelegt werden: Das Hilfsprogramm %1 ist nicht installiert. Installieren Sie das Vellumar-Paket oder rufen Sie „make install“ auf.</translation>
    </message>
    <message id="PolicyMissing">
        <source>Disks cannot be made: the system policy %1 that lets users run Vellumar's disk helper is not installed. Install Vellumar's package or run "make install".</source>
        <translation>Volumes können nicht angelegt werden: Die Systemrichtlinie %1, die Benutzern das Hilfsprogramm erlaubt, ist nicht installiert. Installieren Sie das Vellumar-Paket oder rufen Sie „make install“ auf.</translation>
    </message>
    <message id="HelperFailed">
        <source>Disks cannot be made: Vellumar's disk helper did not answer as expected (%1).</source>
        <translation>Volumes können nicht angelegt werden: Das Hilfsprogramm hat nicht wie erwartet geantwortet (%1).</translation>
    </message>
    <message id="MountPathParentMissing">
        <source>The disk cannot be mounted on "%1": the folder %2 does not exist. Choose a folder inside an existing one.</source>
        <translation>Das Volume kann nicht unter „%1“ eingehängt werden: Der Ordner %2 existiert nicht. Wählen Sie einen Ordner innerhalb eines vorhandenen.</translation>
    </message>
    <message id="UnmountRefused">
        <source>The disk on "%1" stays mounted, and its memory stays in use: %2.</source>
        <translation>Das Volume unter „%1“ bleibt eingehängt und sein Speicher belegt: %2.</translation>
    </message>
    <message id="AlertDiskFull">
        <source>%1 is nearly full</source>
        <translation>%1 ist fast voll</translation>
    </message>
    <message id="AlertDiskFullMessage">
        <source>%1 of %2 is used. Delete files you no longer need, or copy them elsewhere and make a larger disk.</source>
        <translation>%1 von %2 sind belegt. Löschen Sie Dateien, die Sie nicht mehr brauchen, oder kopieren Sie sie woandershin und erstellen Sie eine größere Disk.</translation>
    </message>
    <message id="AlertMemoryLow">
        <source>The machine is running out of memory</source>
        <translation>Der Arbeitsspeicher wird knapp</translation>
    </message>
    <message id="AlertMemoryLowMessage">
        <source>Only %1 of memory is available, and the RAM disk %2 holds %3. Delete files on your RAM disks or eject those you no longer need, or programs may be ended by the system.</source>
        <translation>Nur noch %1 Arbeitsspeicher sind verfügbar, und die RAM-Disk %2 belegt %3. Löschen Sie Dateien auf Ihren RAM-Disks oder werfen Sie nicht mehr benötigte aus, sonst beendet das System womöglich Programme.</translation>
    </message>
    <message id="AlertSaveFailed">
        <source>%1 was not saved</source>
        <translation>%1 wurde nicht gesichert</translation>
    </message>
    <message id="AlertSaveFailedMessage">
        <source>The folder %1 still holds the last complete save. Open the disk's window to see which files were not saved, and make room in the folder or check its permissions.</source>
        <translation>Der Ordner %1 enthält weiterhin die letzte vollständige Sicherung. Öffnen Sie das Fenster der Disk, um zu sehen, welche Dateien nicht gesichert wurden, und schaffen Sie Platz im Ordner oder prüfen Sie seine Zugriffsrechte.</translation>
    </message>
    <message id="KindWordMemory">
        <source>memory</source>
        <translation>Speicher</translation>
    </message>
    <message id="KindWordCompressed">
        <source>compressed</source>
        <translation>komprimiert</translation>
    </message>
    <message id="KindWordBlock">
        <source>block device</source>
        <translation>Blockgerät</translation>
    </message>
    <message id="DiskHoldsMemory">
        <source>Holds %1 of memory</source>
        <translation>Belegt %1 Arbeitsspeicher</translation>
    </message>
    <message id="DiskHoldsMemoryForData">
        <source>Holds %1 of memory for %2 of data (%3)</source>
        <translation>Belegt %1 Arbeitsspeicher für %2 Daten (%3)</translation>
    </message>
    <message id="DiskKindLine">
        <source>Kind: %1</source>
        <translation>Art: %1</translation>
    </message>
    <message id="DiskKindAndHeldLine">
        <source>Kind: %1. %2</source>
        <translation>Art: %1. %2</translation>
    </message>
</context>
</TS>
