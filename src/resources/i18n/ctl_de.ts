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
</context>
</TS>
