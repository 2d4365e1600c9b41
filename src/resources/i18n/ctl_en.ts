<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name></name>
    <message id="CtlSizeForm">
        <source>form</source>
        <translation>the size &quot;%1&quot; is not a size: give KiB as a whole number (65536), a number with a unit K, M or G (512M, 1.5G), or a share of the memory (25%).</translation>
    </message>
    <message id="CtlSizeTooSmall">
        <source>small</source>
        <translation>%1 is too small for a disk: the smallest disk is %2.</translation>
    </message>
    <message id="CtlSizeTooBig">
        <source>big</source>
        <translation>%1 is too large for one disk (at most %2): choose a smaller size.</translation>
    </message>
    <message id="CtlSizeShareUnknown">
        <source>share</source>
        <translation>this machine's memory cannot be read, so a share of it cannot be used: give the size in KiB or with a unit.</translation>
    </message>
</context>
</TS>
