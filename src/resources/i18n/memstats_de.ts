<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name></name>
    <message id="MemCommandUnknownArgument">
        <source>Unknown argument "%1". Usage: vellumarctl %2 [--json]</source>
        <translation>Unbekanntes Argument „%1“. Aufruf: vellumarctl %2 [--json]</translation>
    </message>
    <message id="MemStatsUnreadable">
        <source>The memory counters of this machine could not be read. Check that /proc (or the system's memory statistics) can be read, then try again.</source>
        <translation>Die Speicherzähler dieses Rechners konnten nicht gelesen werden. Prüfen Sie, ob /proc (oder die Speicherstatistik des Systems) lesbar ist, und versuchen Sie es erneut.</translation>
    </message>
    <message id="SwapStatsUnknown">
        <source>No swap location is known on this machine, so there are no swap figures to show.</source>
        <translation>Auf diesem Rechner ist kein Auslagerungsort bekannt, daher gibt es keine Auslagerungswerte.</translation>
    </message>
</context>
</TS>
