<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name></name>
    <message id="CtlSizeForm">
        <source>form</source>
        <translation>die Größe „%1“ ist keine Größe: geben Sie KiB als ganze Zahl (65536), eine Zahl mit Einheit K, M oder G (512M, 1.5G) oder einen Anteil am Arbeitsspeicher (25%) an.</translation>
    </message>
    <message id="CtlSizeTooSmall">
        <source>small</source>
        <translation>%1 ist zu klein für eine Disk: die kleinste Disk hat %2.</translation>
    </message>
    <message id="CtlSizeTooBig">
        <source>big</source>
        <translation>%1 ist zu groß für eine Disk (höchstens %2): wählen Sie eine kleinere Größe.</translation>
    </message>
    <message id="CtlSizeShareUnknown">
        <source>share</source>
        <translation>der Arbeitsspeicher dieses Rechners lässt sich nicht lesen, daher geht kein Anteil davon: geben Sie die Größe in KiB oder mit Einheit an.</translation>
    </message>
    <message id="CtlHelp">
        <source>x</source>
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
        <source>x</source>
        <translation>Aufruf: vellumarctl create --size &lt;Größe&gt; [--name &lt;Name&gt;] [--mount &lt;Pfad&gt;]

Erstellt eine RAM-Disk, formatiert sie (ext4), bindet sie ein und gibt ihren Einhängepfad aus.
  --size &lt;Größe&gt;   65536 (KiB), 512M, 1.5G, 100 MiB oder 25% des Arbeitsspeichers; mindestens 224 KiB
  --name &lt;Name&gt;    der Volume-Name (Vorgabe „Ram Disk“)
  --mount &lt;Pfad&gt;   ein leerer oder neuer Ordner zum Einhängen (Vorgabe: ein neuer Ordner am
                   Ort aus den Einstellungen)
Rückgabewert: 0 erstellt, 1 fehlgeschlagen (Erstelltes wieder entfernt), 2 falsche Eingabe (nichts erstellt).</translation>
    </message>
    <message id="CtlHelpList">
        <source>x</source>
        <translation>Aufruf: vellumarctl list [--json]

Zeigt die RAM-Disks dieses Rechners, gleich welches Programm sie erstellt hat.
  --json   ein JSON-Array; Größen in KiB (sizeKiB, usedKiB) und in Bytes (sizeBytes, usedBytes)</translation>
    </message>
    <message id="CtlHelpEject">
        <source>x</source>
        <translation>Aufruf: vellumarctl eject &lt;Einhängepfad&gt;

Hängt die RAM-Disk unter &lt;Einhängepfad&gt; aus und gibt ihren Speicher frei.</translation>
    </message>
    <message id="CtlHelpMem">
        <source>x</source>
        <translation>Aufruf: vellumarctl mem [--json]

Zeigt die Speicherzahlen dieses Rechners (Größen in MB, Zähler als Anzahl).</translation>
    </message>
    <message id="CtlHelpSwap">
        <source>x</source>
        <translation>Aufruf: vellumarctl swap [--json]

Zeigt die Auslagerungszahlen dieses Rechners.</translation>
    </message>
    <message id="CtlNoCommand">
        <source>x</source>
        <translation>kein Befehl angegeben: siehe vellumarctl --help.</translation>
    </message>
    <message id="CtlUnknownCommandAll">
        <source>x</source>
        <translation>unbekannter Befehl „%1“: die Befehle sind create, list, eject, mem und swap (siehe vellumarctl --help).</translation>
    </message>
    <message id="CtlWriteFailed">
        <source>x</source>
        <translation>die Ausgabe konnte nicht geschrieben werden (%1).</translation>
    </message>
    <message id="CtlListHeader">
        <source>x</source>
        <translation>GERÄT|GRÖSSE|BELEGT|NAME|EINGEHÄNGT AUF</translation>
    </message>
</context>
</TS>
