<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name></name>
    <message id="MemCommandUnknownArgument">
        <source>Unknown argument "%1". Usage: vellumarctl %2 [--json]</source>
        <translation>Unknown argument "%1". Usage: vellumarctl %2 [--json]</translation>
    </message>
    <message id="MemStatsUnreadable">
        <source>The memory counters of this machine could not be read. Check that /proc (or the system's memory statistics) can be read, then try again.</source>
        <translation>The memory counters of this machine could not be read. Check that /proc (or the system's memory statistics) can be read, then try again.</translation>
    </message>
    <message id="SwapStatsUnknown">
        <source>No swap location is known on this machine, so there are no swap figures to show.</source>
        <translation>No swap location is known on this machine, so there are no swap figures to show.</translation>
    </message>
</context>
</TS>
