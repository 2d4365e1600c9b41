<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name></name>
    <message id="KeepTooLarge">
        <source>The kept folder %1 holds %2, more than a disk of %3 can take (%4 once its file system is written), so no disk was made: choose a larger size or a folder with less in it.</source>
        <translation>Der gesicherte Ordner %1 enthält %2, mehr als ein Volume von %3 aufnehmen kann (%4 nach dem Anlegen des Dateisystems), deshalb wurde kein Volume angelegt: Wählen Sie eine größere Größe oder einen Ordner mit weniger Inhalt.</translation>
    </message>
    <message id="KeepTooManyFiles">
        <source>The kept folder %1 holds %2 files and folders, more than the %4 a disk of %3 has room for, so no disk was made: choose a larger size.</source>
        <translation>Der gesicherte Ordner %1 enthält %2 Dateien und Ordner, mehr als die %4, für die ein Volume von %3 Platz hat, deshalb wurde kein Volume angelegt: Wählen Sie eine größere Größe.</translation>
    </message>
    <message id="KeepNotYourFolder">
        <source>The kept folder %1 belongs to %2, but the disk is made for %3, and kept contents are only copied as the folder's own user, so nothing was copied: choose a folder of %3's, or run this as %2.</source>
        <translation>Der gesicherte Ordner %1 gehört %2, das Volume wird aber für %3 angelegt, und gesicherte Inhalte werden nur als Besitzer des Ordners kopiert, deshalb wurde nichts kopiert: Wählen Sie einen Ordner von %3 oder führen Sie dies als %2 aus.</translation>
    </message>
    <message id="KeepNoDisk">
        <source>No disk is mounted on %1, so nothing was copied: check that the disk is still there (vellumarctl list).</source>
        <translation>Auf %1 ist kein Volume eingehängt, deshalb wurde nichts kopiert: Prüfen Sie, ob das Volume noch da ist (vellumarctl list).</translation>
    </message>
    <message id="KeepToolMissing">
        <source>%1 could not be started, so nothing was copied: install the rsync package and try again.</source>
        <translation>%1 konnte nicht gestartet werden, deshalb wurde nichts kopiert: Installieren Sie das Paket rsync und versuchen Sie es erneut.</translation>
    </message>
    <message id="KeepRsyncStopped">
        <source>the copying process was stopped before it finished</source>
        <translation>der Kopiervorgang wurde vor dem Ende beendet</translation>
    </message>
    <message id="KeepNoFilesNamed">
        <source>none named; the copy stopped as a whole</source>
        <translation>keine einzeln genannt; das Kopieren brach als Ganzes ab</translation>
    </message>
    <message id="KeepSaveFailed">
        <source>Saving %1 to %2 did not complete (%3). The kept folder still holds each file whole, as last saved or newer. Not saved: %4. Free space in the kept folder or make those files readable, then save again (vellumarctl sync %1).</source>
        <translation>Das Sichern von %1 nach %2 wurde nicht abgeschlossen (%3). Der gesicherte Ordner enthält jede Datei weiterhin vollständig, wie zuletzt gesichert oder neuer. Nicht gesichert: %4. Schaffen Sie Platz im gesicherten Ordner oder machen Sie diese Dateien lesbar und sichern Sie erneut (vellumarctl sync %1).</translation>
    </message>
    <message id="KeepLoadFailed">
        <source>Loading %2 onto the disk on %1 did not complete (%3). Not loaded: %4. Check that the disk is large enough and the files are readable, then try again.</source>
        <translation>Das Laden von %2 auf das Volume auf %1 wurde nicht abgeschlossen (%3). Nicht geladen: %4. Prüfen Sie, ob das Volume groß genug ist und die Dateien lesbar sind, und versuchen Sie es erneut.</translation>
    </message>
    <message id="KeepLoadUndone">
        <source>The disk was ejected again, so no memory is held; the kept folder is unchanged.</source>
        <translation>Das Volume wurde wieder ausgeworfen, es wird also kein Speicher belegt; der gesicherte Ordner ist unverändert.</translation>
    </message>
    <message id="KeepLoadNotUndone">
        <source>The disk on %1 could not be ejected again: eject it with vellumarctl eject %1 --force.</source>
        <translation>Das Volume auf %1 konnte nicht wieder ausgeworfen werden: Werfen Sie es mit vellumarctl eject %1 --force aus.</translation>
    </message>
    <message id="KeepAlreadyThere">
        <source>%1 is already there; nothing was made for it.</source>
        <translation>%1 ist bereits vorhanden; dafür wurde nichts angelegt.</translation>
    </message>
    <message id="KeepSaved">
        <source>saved %1 to %2</source>
        <translation>%1 nach %2 gesichert</translation>
    </message>
    <message id="KeepSyncNeedsPath">
        <source>sync needs the mount folder of one kept disk: vellumarctl sync &lt;mount folder&gt;</source>
        <translation>sync braucht den Einhängeordner eines Volumes mit gesichertem Inhalt: vellumarctl sync &lt;Einhängeordner&gt;</translation>
    </message>
    <message id="KeepNotKept">
        <source>The disk on %1 keeps no contents, so there is nothing to save: make it with --keep &lt;folder&gt; to keep them.</source>
        <translation>Das Volume auf %1 sichert keinen Inhalt, es gibt also nichts zu sichern: Legen Sie es mit --keep &lt;Ordner&gt; an, um ihn zu sichern.</translation>
    </message>
    <message id="KeepEjectStopped">
        <source>The disk was not ejected, so nothing on it is lost: fix what stopped the save and eject again, or add --force to eject without saving.</source>
        <translation>Das Volume wurde nicht ausgeworfen, es geht also nichts verloren: Beheben Sie, was das Sichern verhindert hat, und werfen Sie es erneut aus, oder fügen Sie --force hinzu, um ohne Sichern auszuwerfen.</translation>
    </message>
    <message id="KeepEjectForced">
        <source>Ejecting all the same (--force): the files named above were not saved.</source>
        <translation>Es wird trotzdem ausgeworfen (--force): Die oben genannten Dateien wurden nicht gesichert.</translation>
    </message>
    <message id="KeepNeverSaved">
        <source>never saved</source>
        <translation>nie gesichert</translation>
    </message>
    <message id="KeepListLine">
        <source>    kept in %1, last complete save: %2</source>
        <translation>    aufbewahrt in %1, letzte vollständige Sicherung: %2</translation>
    </message>
</context>
</TS>
