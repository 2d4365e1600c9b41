<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name></name>
    <message id="EjectedElsewhere">
        <source>Ejected elsewhere</source>
        <translation>Anderswo ausgeworfen</translation>
    </message>
    <message id="EjectedElsewhereMessage">
        <source>Another program ejected this RAM disk, so this window no longer holds it. Choose “New Disk” to make another.</source>
        <translation>Ein anderes Programm hat diese RAM-Disk ausgeworfen; dieses Fenster hält sie nicht mehr. Mit „Neue Disk“ legen Sie eine weitere an.</translation>
    </message>
    <message id="AlreadyRunningTitle">
        <source>Vellumar is already running</source>
        <translation>Vellumar läuft bereits</translation>
    </message>
    <message id="AlreadyRunningNoAnswer">
        <source>A running Vellumar did not answer within %1 seconds, so no new window was opened. Switch to its window, or end it (for example with “pkill -x vellumar”) and start Vellumar again.</source>
        <translation>Ein laufendes Vellumar hat nicht innerhalb von %1 Sekunden geantwortet, daher wurde kein neues Fenster geöffnet. Wechseln Sie zu seinem Fenster oder beenden Sie es (zum Beispiel mit „pkill -x vellumar“) und starten Sie Vellumar erneut.</translation>
    </message>
    <message id="TrayToolTip">
        <source>Vellumar: %1 RAM disk(s) mounted</source>
        <translation>Vellumar: %1 RAM-Disk(s) eingehängt</translation>
    </message>
    <message id="TrayDiskEntry">
        <source>%1 (%2, %3 of %4 used)</source>
        <translation>%1 (%2, %3 von %4 belegt)</translation>
    </message>
    <message id="TrayDiskEntrySize">
        <source>%1 (%2, %3)</source>
        <translation>%1 (%2, %3)</translation>
    </message>
    <message id="TrayOpen">
        <source>Open</source>
        <translation>Öffnen</translation>
    </message>
    <message id="TrayEject">
        <source>Eject</source>
        <translation>Auswerfen</translation>
    </message>
    <message id="TrayNoDisks">
        <source>No RAM disk mounted</source>
        <translation>Keine RAM-Disk eingehängt</translation>
    </message>
    <message id="TrayNewDisk">
        <source>New RAM Disk</source>
        <translation>Neue RAM-Disk</translation>
    </message>
    <message id="TrayQuit">
        <source>Quit Vellumar</source>
        <translation>Vellumar beenden</translation>
    </message>
    <message id="TrayOpenFailedTitle">
        <source>The folder could not be opened</source>
        <translation>Der Ordner konnte nicht geöffnet werden</translation>
    </message>
    <message id="TrayOpenFailed">
        <source>No file manager answered for %1. The disk's window shows the folder as a link; open it from there or in a file manager of your own.</source>
        <translation>Kein Dateimanager hat für %1 geantwortet. Das Fenster der Disk zeigt den Ordner als Verweis; öffnen Sie ihn dort oder in einem Dateimanager Ihrer Wahl.</translation>
    </message>
</context>
</TS>
