<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name></name>
    <message id="CtlSizeForm">
        <source>the size &quot;%1&quot; is not a size: give KiB as a whole number (65536), a number with a unit K, M or G (512M, 1.5G), or a share of the memory (25%).</source>
        <translation>die Größe „%1“ ist keine Größe: geben Sie KiB als ganze Zahl (65536), eine Zahl mit Einheit K, M oder G (512M, 1.5G) oder einen Anteil am Arbeitsspeicher (25%) an.</translation>
    </message>
    <message id="CtlSizeTooSmall">
        <source>%1 is too small for a disk: the smallest disk is %2.</source>
        <translation>%1 ist zu klein für eine Disk: die kleinste Disk hat %2.</translation>
    </message>
    <message id="CtlSizeTooBig">
        <source>%1 is too large for one disk (at most %2): choose a smaller size.</source>
        <translation>%1 ist zu groß für eine Disk (höchstens %2): wählen Sie eine kleinere Größe.</translation>
    </message>
    <message id="CtlSizeShareUnknown">
        <source>this machine's memory cannot be read, so a share of it cannot be used: give the size in KiB or with a unit.</source>
        <translation>der Arbeitsspeicher dieses Rechners lässt sich nicht lesen, daher geht kein Anteil davon: geben Sie die Größe in KiB oder mit Einheit an.</translation>
    </message>
    <message id="CtlHelp">
        <source>Usage: vellumarctl &lt;command&gt; [options]

Makes RAM disks: memory-backed ext4 volumes mounted on a folder.

Commands:
  create --size &lt;size&gt; [--name &lt;name&gt;] [--mount &lt;path&gt;]   make a disk
  list [--json]                                           show the disks
  eject &lt;mount path&gt;                                      unmount a disk and free its memory
  mem [--json]                                            show the memory figures
  swap [--json]                                           show the swap figures

Sizes: 65536 (KiB), 512M, 1.5G, 100 MiB, or 25% of the memory.
vellumarctl &lt;command&gt; --help shows the options of one command; --version shows the version.</source>
        <translation>Aufruf: vellumarctl &lt;Befehl&gt; [Optionen]

Erstellt RAM-Disks: ext4-Volumes im Arbeitsspeicher, in einen Ordner eingebunden.

Befehle:
  create --size &lt;Größe&gt; [--name &lt;Name&gt;] [--mount &lt;Pfad&gt;]  eine Disk erstellen
  list [--json]                                           die Disks zeigen
  eject &lt;Einhängepfad&gt;                                    eine Disk aushängen und ihren Speicher freigeben
  mem [--json]                                            die Speicherzahlen zeigen
  swap [--json]                                           die Auslagerungszahlen zeigen

Größen: 65536 (KiB), 512M, 1.5G, 100 MiB oder 25% des Arbeitsspeichers.
vellumarctl &lt;Befehl&gt; --help zeigt die Optionen eines Befehls; --version zeigt die Version.</translation>
    </message>
    <message id="CtlHelpCreate">
        <source>Usage: vellumarctl create --size &lt;size&gt; [--name &lt;name&gt;] [--mount &lt;path&gt;]

Makes a RAM disk, formats it (ext4), mounts it and prints its mount path.
  --size &lt;size&gt;    65536 (KiB), 512M, 1.5G, 100 MiB, or 25% of the memory; at least 224 KiB
  --name &lt;name&gt;    the volume name (default &quot;Ram Disk&quot;)
  --mount &lt;path&gt;   an empty or new folder to mount on (default: a new folder under the
                   mount location of the preferences)
Exit status: 0 made, 1 failed (what was made is removed again), 2 bad input (nothing made).</source>
        <translation>Aufruf: vellumarctl create --size &lt;Größe&gt; [--name &lt;Name&gt;] [--mount &lt;Pfad&gt;]

Erstellt eine RAM-Disk, formatiert sie (ext4), bindet sie ein und gibt ihren Einhängepfad aus.
  --size &lt;Größe&gt;   65536 (KiB), 512M, 1.5G, 100 MiB oder 25% des Arbeitsspeichers; mindestens 224 KiB
  --name &lt;Name&gt;    der Volume-Name (Vorgabe „Ram Disk“)
  --mount &lt;Pfad&gt;   ein leerer oder neuer Ordner zum Einhängen (Vorgabe: ein neuer Ordner am
                   Ort aus den Einstellungen)
Rückgabewert: 0 erstellt, 1 fehlgeschlagen (Erstelltes wieder entfernt), 2 falsche Eingabe (nichts erstellt).</translation>
    </message>
    <message id="CtlHelpList">
        <source>Usage: vellumarctl list [--json]

Shows the RAM disks on this machine, whichever program made them.
  --json   one JSON array; sizes in KiB (sizeKiB, usedKiB) and in bytes (sizeBytes, usedBytes)</source>
        <translation>Aufruf: vellumarctl list [--json]

Zeigt die RAM-Disks dieses Rechners, gleich welches Programm sie erstellt hat.
  --json   ein JSON-Array; Größen in KiB (sizeKiB, usedKiB) und in Bytes (sizeBytes, usedBytes)</translation>
    </message>
    <message id="CtlHelpEject">
        <source>Usage: vellumarctl eject &lt;mount path&gt;

Unmounts the RAM disk mounted on &lt;mount path&gt; and gives its memory back.</source>
        <translation>Aufruf: vellumarctl eject &lt;Einhängepfad&gt;

Hängt die RAM-Disk unter &lt;Einhängepfad&gt; aus und gibt ihren Speicher frei.</translation>
    </message>
    <message id="CtlHelpMem">
        <source>Usage: vellumarctl mem [--json]

Shows the memory figures of this machine (sizes in KiB, MiB or GiB, in MiB with --json; counters as counts).</source>
        <translation>Aufruf: vellumarctl mem [--json]

Zeigt die Speicherzahlen dieses Rechners (Größen in KiB, MiB oder GiB, mit --json in MiB; Zähler als Anzahl).</translation>
    </message>
    <message id="CtlHelpSwap">
        <source>Usage: vellumarctl swap [--json]

Shows the swap figures of this machine.</source>
        <translation>Aufruf: vellumarctl swap [--json]

Zeigt die Auslagerungszahlen dieses Rechners.</translation>
    </message>
    <message id="CtlNoCommand">
        <source>no command given: see vellumarctl --help.</source>
        <translation>kein Befehl angegeben: siehe vellumarctl --help.</translation>
    </message>
    <message id="CtlUnknownCommandAll">
        <source>unknown command &quot;%1&quot;: the commands are create, list, eject, mem and swap (see vellumarctl --help).</source>
        <translation>unbekannter Befehl „%1“: die Befehle sind create, list, eject, mem und swap (siehe vellumarctl --help).</translation>
    </message>
    <message id="CtlWriteFailed">
        <source>the output could not be written (%1).</source>
        <translation>die Ausgabe konnte nicht geschrieben werden (%1).</translation>
    </message>
    <message id="CtlListHeader">
        <source>DEVICE|SIZE|USED|NAME|MOUNTED ON</source>
        <translation>GERÄT|GRÖSSE|BELEGT|NAME|EINGEHÄNGT AUF</translation>
    </message>
</context>
</TS>
