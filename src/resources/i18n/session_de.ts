<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name></name>
    <message id="RuleSizeMissing">
        <source>No size was given: give KiB as a whole number (65536), a number with a unit K, M or G (512M, 1.5G), or a share of the memory (25%).</source>
        <translation>Es wurde keine Größe angegeben: Geben Sie KiB als ganze Zahl (65536), eine Zahl mit Einheit K, M oder G (512M, 1.5G) oder einen Anteil am Speicher (25%) an.</translation>
    </message>
    <message id="RuleSizeNotASize">
        <source>The size “%1” is not a size: give KiB as a whole number (65536), a number with a unit K, M or G (512M, 1.5G), or a share of the memory (25%).</source>
        <translation>„%1“ ist keine Größe: Geben Sie KiB als ganze Zahl (65536), eine Zahl mit Einheit K, M oder G (512M, 1.5G) oder einen Anteil am Speicher (25%) an.</translation>
    </message>
    <message id="RuleSizeZero">
        <source>A disk of 0 bytes can hold nothing: give a size of at least %1.</source>
        <translation>Ein Laufwerk mit 0 Byte kann nichts aufnehmen: Geben Sie mindestens %1 an.</translation>
    </message>
    <message id="RuleSizeTooSmall">
        <source>%1 is too small for a disk: the smallest disk is %2. Enter a larger size.</source>
        <translation>%1 ist zu klein für ein Laufwerk: Das kleinste Laufwerk hat %2. Geben Sie eine größere Größe ein.</translation>
    </message>
    <message id="RuleSizeTooLarge">
        <source>“%1” is more than one RAM disk can hold: at most %2. Enter a smaller size.</source>
        <translation>„%1“ ist mehr, als ein RAM-Laufwerk aufnehmen kann: höchstens %2. Geben Sie eine kleinere Größe ein.</translation>
    </message>
    <message id="RuleSizeShareUnknown">
        <source>The memory of this machine cannot be read, so a share of it cannot be used. Enter the size in KiB or with a unit (512M).</source>
        <translation>Der Speicher dieses Rechners kann nicht gelesen werden, daher kann kein Anteil davon verwendet werden. Geben Sie die Größe in KiB oder mit Einheit (512M) ein.</translation>
    </message>
    <message id="RuleNameControl">
        <source>The name “%1” holds a line break or another control character: a disk's name is one line of text.</source>
        <translation>Der Name „%1“ enthält einen Zeilenumbruch oder ein anderes Steuerzeichen: Der Name eines Laufwerks ist eine Textzeile.</translation>
    </message>
    <message id="RuleKindUnknown">
        <source>“%1” is not a kind of disk: the kinds are memory, compressed and block.</source>
        <translation>„%1“ ist keine Laufwerksart: Die Arten sind memory, compressed und block.</translation>
    </message>
    <message id="RuleMountParentMissing">
        <source>The folder %1, in which the disk's folder would be made, does not exist: make it first or choose another mount path.</source>
        <translation>Der Ordner %1, in dem der Ordner des Laufwerks angelegt würde, existiert nicht: Legen Sie ihn zuerst an oder wählen Sie einen anderen Einhängepfad.</translation>
    </message>
    <message id="RuleKeptFolderNotAbsolute">
        <source>The kept folder “%1” is not a full path: give one that starts with / or ~.</source>
        <translation>Der Inhaltsordner „%1“ ist kein vollständiger Pfad: Geben Sie einen an, der mit / oder ~ beginnt.</translation>
    </message>
    <message id="RuleKeptFolderInUse">
        <source>The folder %1 already keeps the contents of the disk “%2” (%3): a kept folder belongs to one disk, so choose another folder.</source>
        <translation>Der Ordner %1 bewahrt bereits den Inhalt des Laufwerks „%2“ (%3) auf: Ein Inhaltsordner gehört zu einem Laufwerk, wählen Sie daher einen anderen Ordner.</translation>
    </message>
    <message id="RuleMemory">
        <source>A disk of %1 is more than this machine can give now: at most %2 (%3 available, less %4 kept free). Choose a smaller size or eject a disk.</source>
        <translation>Ein Laufwerk mit %1 ist mehr, als dieser Rechner jetzt geben kann: höchstens %2 (%3 verfügbar, abzüglich %4, die frei bleiben). Wählen Sie eine kleinere Größe oder werfen Sie ein Laufwerk aus.</translation>
    </message>
    <message id="PhaseNotRun">
        <source>Not done: an earlier step failed.</source>
        <translation>Nicht ausgeführt: Ein früherer Schritt ist fehlgeschlagen.</translation>
    </message>
    <message id="NoFileManagerAskedInTests">
        <source>No file manager was asked: showing folders is turned off (VELLUMAR_NO_DESKTOP).</source>
        <translation>Kein Dateimanager wurde gefragt: Das Anzeigen von Ordnern ist ausgeschaltet (VELLUMAR_NO_DESKTOP).</translation>
    </message>
    <message id="NoFileManagerNoDesktop">
        <source>No file manager was asked: this session has no desktop.</source>
        <translation>Kein Dateimanager wurde gefragt: Diese Sitzung hat keinen Schreibtisch.</translation>
    </message>
    <message id="NothingShowsTheFolder">
        <source>Nothing could show %1: the file manager did not answer (%2), and the folder could not be opened.</source>
        <translation>Nichts konnte %1 anzeigen: Der Dateimanager hat nicht geantwortet (%2), und der Ordner ließ sich nicht öffnen.</translation>
    </message>
    <message id="KindLabel">
        <source>K&amp;ind:</source>
        <translation>A&amp;rt:</translation>
    </message>
    <message id="Kind_memory">
        <source>Memory</source>
        <translation>Speicher</translation>
    </message>
    <message id="Kind_compressed">
        <source>Compressed</source>
        <translation>Komprimiert</translation>
    </message>
    <message id="Kind_block">
        <source>Block device</source>
        <translation>Blockgerät</translation>
    </message>
    <message id="KindHint_memory">
        <source>Fastest: the kernel's own memory file system</source>
        <translation>Am schnellsten: das eigene Speicherdateisystem des Kernels</translation>
    </message>
    <message id="KindHint_compressed">
        <source>Holds more in less memory when the data compresses: source trees, logs, caches</source>
        <translation>Fasst mehr in weniger Speicher, wenn sich die Daten komprimieren lassen: Quellbäume, Protokolle, Caches</translation>
    </message>
    <message id="KindHint_block">
        <source>A real block device (ext4), for programs that need one</source>
        <translation>Ein echtes Blockgerät (ext4) für Programme, die eines brauchen</translation>
    </message>
    <message id="notDone">
        <source>–</source>
        <translation>–</translation>
    </message>
    <message id="NameInvalid">
        <source>This name cannot be used</source>
        <translation>Dieser Name kann nicht verwendet werden</translation>
    </message>
</context>
</TS>
