<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name></name>
    <message id="WindowTitle">
        <source>RAM Disk</source>
        <translation>RAM-Disk</translation>
    </message>
    <message id="SizePresetLabel">
        <source>Size preset:</source>
        <translation>Vorgabe:</translation>
    </message>
    <message id="DiskSizeLabel">
        <source>&amp;Size:</source>
        <translation>&amp;Größe:</translation>
    </message>
    <message id="DiskNameLabel">
        <source>Volume name:</source>
        <translation>Name des Volumes:</translation>
    </message>
    <message id="MountPathLabel">
        <source>Mount path:</source>
        <translation>Einhängepfad:</translation>
    </message>
    <message id="AutomaticPath">
        <source>Automatic</source>
        <translation>Automatisch</translation>
    </message>
    <message id="CreateButton">
        <source>Create</source>
        <translation>Erstellen</translation>
    </message>
    <message id="AllocatePhase">
        <source>Allocating memory</source>
        <translation>Speicher belegen</translation>
    </message>
    <message id="BuildPhase">
        <source>Making the file system</source>
        <translation>Dateisystem anlegen</translation>
    </message>
    <message id="MountPhase">
        <source>Mounting</source>
        <translation>Einhängen</translation>
    </message>
    <message id="FinalizePhase">
        <source>Showing the folder</source>
        <translation>Ordner anzeigen</translation>
    </message>
    <message id="EjectButton">
        <source>Eject</source>
        <translation>Auswerfen</translation>
    </message>
    <message id="EjectingDisk">
        <source>Ejecting the disk…</source>
        <translation>Die Disk wird ausgeworfen …</translation>
    </message>
    <message id="DiskEjected">
        <source>The disk was ejected and its memory given back.</source>
        <translation>Die Disk wurde ausgeworfen und ihr Speicher freigegeben.</translation>
    </message>
    <message id="DiskNotEjected">
        <source>The disk could not be ejected; it stays mounted. Close what uses it, then try again.</source>
        <translation>Die Disk konnte nicht ausgeworfen werden und bleibt eingehängt. Schließen Sie, was sie benutzt, und versuchen Sie es erneut.</translation>
    </message>
    <message id="RetryEject">
        <source>Try Again</source>
        <translation>Erneut versuchen</translation>
    </message>
    <message id="ContinueButton">
        <source>New Disk</source>
        <translation>Neue Disk</translation>
    </message>
    <message id="MemoryLabel">
        <source>Memory used:</source>
        <translation>Belegter Speicher:</translation>
    </message>
    <message id="MemoryDetails">
        <source>Memory details</source>
        <translation>Speicherdetails</translation>
    </message>
    <message id="TotalMemory">
        <source>Total:</source>
        <translation>Gesamt:</translation>
    </message>
    <message id="UsedMemory">
        <source>Used:</source>
        <translation>Belegt:</translation>
    </message>
    <message id="WiredMemory">
        <source>Wired:</source>
        <translation>Fest belegt:</translation>
    </message>
    <message id="InactiveMemory">
        <source>Inactive:</source>
        <translation>Inaktiv:</translation>
    </message>
    <message id="FreeMemory">
        <source>Free:</source>
        <translation>Frei:</translation>
    </message>
    <message id="FreePages">
        <source>Free pages:</source>
        <translation>Freie Seiten:</translation>
    </message>
    <message id="PageIns">
        <source>Page-ins:</source>
        <translation>Eingelagert:</translation>
    </message>
    <message id="PageOuts">
        <source>Page-outs:</source>
        <translation>Ausgelagert:</translation>
    </message>
    <message id="Hits">
        <source>Cache hits:</source>
        <translation>Cache-Treffer:</translation>
    </message>
    <message id="Faults">
        <source>Faults:</source>
        <translation>Seitenfehler:</translation>
    </message>
    <message id="FreeEntry">
        <source>Custom size</source>
        <translation>Eigene Größe</translation>
    </message>
    <message id="SizeDoesNotFit">
        <source>This size is too large</source>
        <translation>Diese Größe ist zu groß</translation>
    </message>
    <message id="SizeExceedsMemory">
        <source>Not enough memory for this disk</source>
        <translation>Nicht genug Speicher für diese Disk</translation>
    </message>
    <message id="MountPathInvalid">
        <source>This mount path cannot be used</source>
        <translation>Dieser Einhängepfad ist nicht verwendbar</translation>
    </message>
    <message id="MenuFile">
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message id="MenuAbout">
        <source>&amp;About Vellumar</source>
        <translation>Ü&amp;ber Vellumar</translation>
    </message>
    <message id="MenuPreferences">
        <source>&amp;Preferences…</source>
        <translation>&amp;Einstellungen…</translation>
    </message>
    <message id="MenuNew">
        <source>&amp;New RAM Disk</source>
        <translation>&amp;Neue RAM-Disk</translation>
    </message>
    <message id="MenuClose">
        <source>&amp;Close Window</source>
        <translation>Fenster &amp;schließen</translation>
    </message>
    <message id="MenuQuit">
        <source>&amp;Quit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message id="AboutTitle">
        <source>About Vellumar</source>
        <translation>Über Vellumar</translation>
    </message>
    <message id="AboutText">
        <source>Vellumar %1

Makes RAM disks: volumes whose storage is memory. Each disk has its own window, which also shows the machine's memory figures.</source>
        <translation>Vellumar %1

Erstellt RAM-Disks: Volumes, deren Speicher der Arbeitsspeicher ist. Jede Disk hat ihr eigenes Fenster, das auch die Speicherwerte des Rechners zeigt.</translation>
    </message>
    <message id="PrefsWindowTitle">
        <source>Vellumar Preferences</source>
        <translation>Vellumar-Einstellungen</translation>
    </message>
    <message id="MountLocationTitle">
        <source>Make mount folders</source>
        <translation>Einhängeordner anlegen</translation>
    </message>
    <message id="DefaultLocationCell">
        <source>Where the desktop shows volumes</source>
        <translation>Dort, wo der Desktop Datenträger zeigt</translation>
    </message>
    <message id="CustomLocationCell">
        <source>In a folder of my choice…</source>
        <translation>In einem Ordner meiner Wahl…</translation>
    </message>
    <message id="LocationFieldLabel">
        <source>Location:</source>
        <translation>Ort:</translation>
    </message>
    <message id="ChooseMountLocation">
        <source>Choose the Folder for Mount Folders</source>
        <translation>Ordner für die Einhängeordner wählen</translation>
    </message>
    <message id="MenuHelp">
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message id="AboutLicence">
        <source>Vellumar is free software under the GNU General Public License, version 3 or later. It comes with no warranty.</source>
        <translation>Vellumar ist freie Software unter der GNU General Public License, Version 3 oder neuer. Sie wird ohne jede Gewährleistung geliefert.</translation>
    </message>
    <message id="DiskSizePlaceholder">
        <source>e.g. 512M, 1.5G, 25%</source>
        <translation>z. B. 512M, 1.5G, 25%</translation>
    </message>
    <message id="SizeTooSmall">
        <source>This size is too small</source>
        <translation>Diese Größe ist zu klein</translation>
    </message>
    <message id="SizePreviewInvalid">
        <source>not a size</source>
        <translation>keine Größe</translation>
    </message>
    <message id="WindowTitleNew">
        <source>New RAM Disk – Vellumar</source>
        <translation>Neue RAM-Disk – Vellumar</translation>
    </message>
    <message id="WindowTitleDisk">
        <source>%1 (%2) – Vellumar</source>
        <translation>%1 (%2) – Vellumar</translation>
    </message>
    <message id="BuildSize">
        <source>Size: %1</source>
        <translation>Größe: %1</translation>
    </message>
    <message id="MenuEject">
        <source>&amp;Eject Disk</source>
        <translation>Disk &amp;auswerfen</translation>
    </message>
    <message id="AllocateFailed">
        <source>The memory for the disk could not be set aside.</source>
        <translation>Der Speicher für die Disk konnte nicht bereitgestellt werden.</translation>
    </message>
    <message id="BuildFailed">
        <source>The file system could not be written on the disk.</source>
        <translation>Das Dateisystem konnte nicht auf die Disk geschrieben werden.</translation>
    </message>
    <message id="MountFailed">
        <source>The disk could not be mounted.</source>
        <translation>Die Disk konnte nicht eingebunden werden.</translation>
    </message>
    <message id="ThisDiskIsIncomplete">
        <source>This RAM disk was not made completely</source>
        <translation>Diese RAM-Disk wurde nicht vollständig erstellt</translation>
    </message>
    <message id="IncompleteDiskHoldsMemory">
        <source>What was made of it still holds memory. Eject it to give the memory back; if you close the window, you can still eject it when you quit Vellumar.</source>
        <translation>Was davon erstellt wurde, belegt noch Speicher. Werfen Sie sie aus, um den Speicher freizugeben; schließen Sie das Fenster, können Sie sie noch beim Beenden von Vellumar auswerfen.</translation>
    </message>
    <message id="CannotMakeDisks">
        <source>Disks cannot be made</source>
        <translation>Volumes können nicht angelegt werden</translation>
    </message>
    <message id="KeepContentsCheck">
        <source>Keep contents</source>
        <translation>Inhalt &amp;behalten</translation>
    </message>
    <message id="KeepContentsInLabel">
        <source>Keep contents in:</source>
        <translation>Inhalt behalten in:</translation>
    </message>
    <message id="ChooseKeptFolder">
        <source>Choose…</source>
        <translation>Auswählen…</translation>
    </message>
    <message id="ChooseKeptFolderTitle">
        <source>Choose the folder that keeps the disk's contents</source>
        <translation>Ordner wählen, der den Inhalt der Disk behält</translation>
    </message>
    <message id="CreateAtLogin">
        <source>Create at login</source>
        <translation>Bei der &amp;Anmeldung erstellen</translation>
    </message>
    <message id="LoadKeptPhase">
        <source>Load kept contents</source>
        <translation>Behaltenen Inhalt laden</translation>
    </message>
    <message id="KeptFolderInvalid">
        <source>The kept contents cannot be used</source>
        <translation>Der behaltene Inhalt kann nicht verwendet werden</translation>
    </message>
    <message id="KeepNotSavedFiles">
        <source>Not saved: %1</source>
        <translation>Nicht gesichert: %1</translation>
    </message>
    <message id="KeepLoadFailedWindow">
        <source>The kept contents could not be loaded onto the disk, so the disk goes again without saving and %1 stays as it was. Try again once the cause below is fixed.</source>
        <translation>Der aufbewahrte Inhalt konnte nicht auf das Laufwerk geladen werden, daher wird das Laufwerk ohne Sichern wieder ausgeworfen und %1 bleibt, wie es war. Versuchen Sie es erneut, sobald die Ursache unten behoben ist.</translation>
    </message>
    <message id="KeptInfo">
        <source>Kept in %1 · Last saved: %2</source>
        <translation>Behalten in %1 · Zuletzt gesichert: %2</translation>
    </message>
    <message id="KeptNotSavedYet">
        <source>not yet</source>
        <translation>noch nicht</translation>
    </message>
    <message id="KeepSaveFailedWindow">
        <source>The last save failed: the folder still holds the previous copy.</source>
        <translation>Die letzte Sicherung ist fehlgeschlagen: der Ordner enthält weiter die vorige Kopie.</translation>
    </message>
    <message id="KeepSaveFailedTitle">
        <source>The disk's contents could not all be saved</source>
        <translation>Der Inhalt der Disk konnte nicht vollständig gesichert werden</translation>
    </message>
    <message id="KeepSaveFailedMessage">
        <source>Ejecting now gives back the memory and loses what was not saved; the folder keeps its previous copy. Cancel keeps the disk, so you can fix the cause or copy the files yourself.</source>
        <translation>Jetzt auswerfen gibt den Speicher frei, und was nicht gesichert wurde, geht verloren; der Ordner behält seine vorige Kopie. Abbrechen behält die Disk, damit Sie die Ursache beheben oder die Dateien selbst kopieren können.</translation>
    </message>
    <message id="EjectAnyway">
        <source>Eject anyway</source>
        <translation>Trotzdem auswerfen</translation>
    </message>
    <message id="SaveEveryMinutesLabel">
        <source>Save kept disks every (minutes, 0 = only on eject):</source>
        <translation>Behaltene Disks sichern alle (Minuten, 0 = nur beim Auswerfen):</translation>
    </message>
    <message id="RememberedDisksTitle">
        <source>Disks created at login</source>
        <translation>Bei der Anmeldung erstellte Disks</translation>
    </message>
    <message id="ForgetRemembered">
        <source>Forget</source>
        <translation>Vergessen</translation>
    </message>
    <message id="RememberedDiskEntry">
        <source>%1 (%2) on %3</source>
        <translation>%1 (%2) auf %3</translation>
    </message>
    <message id="RememberedDiskKept">
        <source>%1, kept in %2</source>
        <translation>%1, behalten in %2</translation>
    </message>
</context>
</TS>
