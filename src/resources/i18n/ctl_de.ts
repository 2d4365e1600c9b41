<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name></name>
    <message id="CtlHelp">
        <source>Usage: vellumarctl &lt;command&gt; [options]

Makes RAM disks: memory, compressed or block disks mounted on a folder.

Commands:
  create --size &lt;size&gt; [--name &lt;name&gt;] [--mount &lt;path&gt;] [--kind &lt;kind&gt;]
         [--keep &lt;folder&gt;] [--remember]            make a disk
  create --remembered                              make the disks remembered for login
  list [--json]                                    show the disks
  eject &lt;mount path&gt; [--force]                     unmount a disk and free its memory
  sync &lt;mount path&gt;                                save a kept disk into its folder now
  mem [--json]                                     show the memory figures
  swap [--json]                                    show the swap figures

Sizes: 65536 (KiB), 512M, 1.5G, 100 MiB, or 25% of the memory.
Kinds: memory (the default), compressed, block.
vellumarctl &lt;command&gt; --help shows the options of one command; --version shows the version.</source>
        <translation>Aufruf: vellumarctl &lt;Befehl&gt; [Optionen]

Erstellt RAM-Disks: Speicher-, komprimierte oder Block-Disks, in einen Ordner eingebunden.

Befehle:
  create --size &lt;Größe&gt; [--name &lt;Name&gt;] [--mount &lt;Pfad&gt;] [--kind &lt;Art&gt;]
         [--keep &lt;Ordner&gt;] [--remember]           eine Disk erstellen
  create --remembered                             die für die Anmeldung gemerkten Disks erstellen
  list [--json]                                   die Disks zeigen
  eject &lt;Einhängepfad&gt; [--force]                  eine Disk aushängen und ihren Speicher freigeben
  sync &lt;Einhängepfad&gt;                             eine Disk mit Inhalt jetzt in ihren Ordner sichern
  mem [--json]                                    die Speicherzahlen zeigen
  swap [--json]                                   die Auslagerungszahlen zeigen

Größen: 65536 (KiB), 512M, 1.5G, 100 MiB oder 25% des Arbeitsspeichers.
Arten: memory (Vorgabe), compressed, block.
vellumarctl &lt;Befehl&gt; --help zeigt die Optionen eines Befehls; --version zeigt die Version.</translation>
    </message>
    <message id="CtlHelpCreate">
        <source>Usage: vellumarctl create --size &lt;size&gt; [--name &lt;name&gt;] [--mount &lt;path&gt;] [--kind &lt;kind&gt;]
                          [--keep &lt;folder&gt;] [--remember]
       vellumarctl create --remembered

Makes a RAM disk, mounts it and prints each step, then its mount path.
  --size &lt;size&gt;     65536 (KiB), 512M, 1.5G, 100 MiB, or 25% of the memory; at least 224 KiB
  --name &lt;name&gt;     the volume name (default "Ram Disk")
  --mount &lt;path&gt;    an empty or new folder to mount on (default: a new folder under the
                    mount location of the preferences)
  --kind &lt;kind&gt;     memory (default: the fastest, the kernel's own memory file system),
                    compressed (holds more in less memory when the data compresses),
                    block (a real block device, ext4)
  --keep &lt;folder&gt;   load the folder onto the disk, and save the disk back into it on sync,
                    eject and quit; a folder another disk keeps its contents in is refused
  --remember        make the disk again at login (once it is made, and its folder loaded)
  --remembered      make the disks remembered for login that are not there (the login entry)
Exit status: 0 made, 1 failed (what was made is removed again), 2 bad input (nothing made).</source>
        <translation>Aufruf: vellumarctl create --size &lt;Größe&gt; [--name &lt;Name&gt;] [--mount &lt;Pfad&gt;] [--kind &lt;Art&gt;]
                           [--keep &lt;Ordner&gt;] [--remember]
        vellumarctl create --remembered

Erstellt eine RAM-Disk, bindet sie ein, zeigt jeden Schritt und dann ihren Einhängepfad.
  --size &lt;Größe&gt;    65536 (KiB), 512M, 1.5G, 100 MiB oder 25% des Arbeitsspeichers; mindestens 224 KiB
  --name &lt;Name&gt;     der Volume-Name (Vorgabe „Ram Disk“)
  --mount &lt;Pfad&gt;    ein leerer oder neuer Ordner zum Einhängen (Vorgabe: ein neuer Ordner am
                    Ort aus den Einstellungen)
  --kind &lt;Art&gt;      memory (Vorgabe: am schnellsten, das Speicherdateisystem des Kernels),
                    compressed (fasst mehr in weniger Speicher, wenn sich die Daten komprimieren
                    lassen), block (ein echtes Blockgerät, ext4)
  --keep &lt;Ordner&gt;   den Ordner auf die Disk laden und die Disk bei sync, Auswerfen und Beenden
                    zurück sichern; ein Ordner, den eine andere Disk verwendet, wird abgelehnt
  --remember        die Disk bei der Anmeldung wieder erstellen (sobald sie erstellt und ihr
                    Ordner geladen ist)
  --remembered      die gemerkten Disks erstellen, die fehlen (der Anmeldeeintrag)
Rückgabewert: 0 erstellt, 1 fehlgeschlagen (Erstelltes wieder entfernt), 2 falsche Eingabe (nichts erstellt).</translation>
    </message>
    <message id="CtlHelpList">
        <source>Usage: vellumarctl list [--json]

Shows the RAM disks on this machine, whichever program made them: device, size, space used,
memory held now (and a compressed disk's compression ratio), kind, name and mount folder, and
below a kept disk its folder and last complete save.
  --json   one JSON array; sizes in KiB (sizeKiB, usedKiB) and in bytes (sizeBytes, usedBytes),
           kind, keptFolder, lastSave, memoryUsed (bytes), and for a compressed disk
           compressionRatio</source>
        <translation>Aufruf: vellumarctl list [--json]

Zeigt die RAM-Disks dieses Rechners, gleich welches Programm sie erstellt hat: Gerät, Größe,
Belegung, belegter Arbeitsspeicher (bei komprimierten Disks mit Kompressionsfaktor), Art, Name
und Einhängeordner, unter einer Disk mit Inhalt ihr Ordner und die letzte vollständige Sicherung.
  --json   ein JSON-Array; Größen in KiB (sizeKiB, usedKiB) und in Bytes (sizeBytes, usedBytes),
           kind, keptFolder, lastSave, memoryUsed (Bytes), bei komprimierten Disks
           compressionRatio</translation>
    </message>
    <message id="CtlHelpEject">
        <source>Usage: vellumarctl eject &lt;mount path&gt; [--force]

Saves a kept disk into its folder, then unmounts the RAM disk mounted on &lt;mount path&gt; and
gives its memory back. A failed save stops the eject, so nothing is lost.
  --force   eject even when the save failed (what it could not save is lost)</source>
        <translation>Aufruf: vellumarctl eject &lt;Einhängepfad&gt; [--force]

Sichert eine Disk mit Inhalt in ihren Ordner, hängt dann die RAM-Disk unter &lt;Einhängepfad&gt; aus
und gibt ihren Speicher frei. Eine fehlgeschlagene Sicherung hält das Auswerfen an.
  --force   auch auswerfen, wenn die Sicherung fehlschlug (Ungesichertes geht verloren)</translation>
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
        <source>unknown command "%1": the commands are create, list, eject, sync, mem and swap (see vellumarctl --help).</source>
        <translation>unbekannter Befehl „%1“: die Befehle sind create, list, eject, sync, mem und swap (siehe vellumarctl --help).</translation>
    </message>
    <message id="CtlWriteFailed">
        <source>the output could not be written (%1).</source>
        <translation>die Ausgabe konnte nicht geschrieben werden (%1).</translation>
    </message>
    <message id="CtlListHeader">
        <source>DEVICE|SIZE|USED|MEMORY|KIND|NAME|MOUNTED ON</source>
        <translation>GERÄT|GRÖSSE|BELEGT|SPEICHER|ART|NAME|EINGEHÄNGT AUF</translation>
    </message>
    <message id="CtlHelpSync">
        <source>Usage: vellumarctl sync &lt;mount path&gt;

Saves the kept disk mounted on &lt;mount path&gt; into its folder now. The folder always holds each
file whole: its last saved copy or the new one.</source>
        <translation>Aufruf: vellumarctl sync &lt;Einhängepfad&gt;

Sichert die Disk mit Inhalt unter &lt;Einhängepfad&gt; jetzt in ihren Ordner. Der Ordner enthält
jede Datei stets ganz: ihre zuletzt gesicherte oder die neue Fassung.</translation>
    </message>
</context>
</TS>
