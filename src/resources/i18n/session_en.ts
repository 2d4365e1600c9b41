<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name></name>
    <message id="RuleSizeMissing">
        <source>No size was given: give KiB as a whole number (65536), a number with a unit K, M or G (512M, 1.5G), or a share of the memory (25%).</source>
        <translation>No size was given: give KiB as a whole number (65536), a number with a unit K, M or G (512M, 1.5G), or a share of the memory (25%).</translation>
    </message>
    <message id="RuleSizeNotASize">
        <source>The size “%1” is not a size: give KiB as a whole number (65536), a number with a unit K, M or G (512M, 1.5G), or a share of the memory (25%).</source>
        <translation>The size “%1” is not a size: give KiB as a whole number (65536), a number with a unit K, M or G (512M, 1.5G), or a share of the memory (25%).</translation>
    </message>
    <message id="RuleSizeZero">
        <source>A disk of 0 bytes can hold nothing: give a size of at least %1.</source>
        <translation>A disk of 0 bytes can hold nothing: give a size of at least %1.</translation>
    </message>
    <message id="RuleSizeTooSmall">
        <source>%1 is too small for a disk: the smallest disk is %2. Enter a larger size.</source>
        <translation>%1 is too small for a disk: the smallest disk is %2. Enter a larger size.</translation>
    </message>
    <message id="RuleSizeTooLarge">
        <source>“%1” is more than one RAM disk can hold: at most %2. Enter a smaller size.</source>
        <translation>“%1” is more than one RAM disk can hold: at most %2. Enter a smaller size.</translation>
    </message>
    <message id="RuleSizeShareUnknown">
        <source>The memory of this machine cannot be read, so a share of it cannot be used. Enter the size in KiB or with a unit (512M).</source>
        <translation>The memory of this machine cannot be read, so a share of it cannot be used. Enter the size in KiB or with a unit (512M).</translation>
    </message>
    <message id="RuleNameControl">
        <source>The name “%1” holds a line break or another control character: a disk's name is one line of text.</source>
        <translation>The name “%1” holds a line break or another control character: a disk's name is one line of text.</translation>
    </message>
    <message id="RuleKindUnknown">
        <source>“%1” is not a kind of disk: the kinds are memory, compressed and block.</source>
        <translation>“%1” is not a kind of disk: the kinds are memory, compressed and block.</translation>
    </message>
    <message id="RuleMountParentMissing">
        <source>The folder %1, in which the disk's folder would be made, does not exist: make it first or choose another mount path.</source>
        <translation>The folder %1, in which the disk's folder would be made, does not exist: make it first or choose another mount path.</translation>
    </message>
    <message id="RuleKeptFolderNotAbsolute">
        <source>The kept folder “%1” is not a full path: give one that starts with / or ~.</source>
        <translation>The kept folder “%1” is not a full path: give one that starts with / or ~.</translation>
    </message>
    <message id="RuleKeptFolderInUse">
        <source>The folder %1 already keeps the contents of the disk “%2” (%3): a kept folder belongs to one disk, so choose another folder.</source>
        <translation>The folder %1 already keeps the contents of the disk “%2” (%3): a kept folder belongs to one disk, so choose another folder.</translation>
    </message>
    <message id="RuleMemory">
        <source>A disk of %1 is more than this machine can give now: at most %2 (%3 available, less %4 kept free). Choose a smaller size or eject a disk.</source>
        <translation>A disk of %1 is more than this machine can give now: at most %2 (%3 available, less %4 kept free). Choose a smaller size or eject a disk.</translation>
    </message>
    <message id="PhaseNotRun">
        <source>Not done: an earlier step failed.</source>
        <translation>Not done: an earlier step failed.</translation>
    </message>
    <message id="NoFileManagerAskedInTests">
        <source>No file manager was asked: showing folders is turned off (VELLUMAR_NO_DESKTOP).</source>
        <translation>No file manager was asked: showing folders is turned off (VELLUMAR_NO_DESKTOP).</translation>
    </message>
    <message id="NoFileManagerNoDesktop">
        <source>No file manager was asked: this session has no desktop.</source>
        <translation>No file manager was asked: this session has no desktop.</translation>
    </message>
    <message id="NothingShowsTheFolder">
        <source>Nothing could show %1: the file manager did not answer (%2), and the folder could not be opened.</source>
        <translation>Nothing could show %1: the file manager did not answer (%2), and the folder could not be opened.</translation>
    </message>
    <message id="KindLabel">
        <source>K&amp;ind:</source>
        <translation>K&amp;ind:</translation>
    </message>
    <message id="Kind_memory">
        <source>Memory</source>
        <translation>Memory</translation>
    </message>
    <message id="Kind_compressed">
        <source>Compressed</source>
        <translation>Compressed</translation>
    </message>
    <message id="Kind_block">
        <source>Block device</source>
        <translation>Block device</translation>
    </message>
    <message id="KindHint_memory">
        <source>Fastest: the kernel's own memory file system</source>
        <translation>Fastest: the kernel's own memory file system</translation>
    </message>
    <message id="KindHint_compressed">
        <source>Holds more in less memory when the data compresses: source trees, logs, caches</source>
        <translation>Holds more in less memory when the data compresses: source trees, logs, caches</translation>
    </message>
    <message id="KindHint_block">
        <source>A real block device (ext4), for programs that need one</source>
        <translation>A real block device (ext4), for programs that need one</translation>
    </message>
    <message id="notDone">
        <source>–</source>
        <translation>–</translation>
    </message>
    <message id="NameInvalid">
        <source>This name cannot be used</source>
        <translation>This name cannot be used</translation>
    </message>
</context>
</TS>
