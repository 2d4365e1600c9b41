<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name></name>
    <message id="CtlSizeForm">
        <source>the size &quot;%1&quot; is not a size: give KiB as a whole number (65536), a number with a unit K, M or G (512M, 1.5G), or a share of the memory (25%).</source>
        <translation>the size &quot;%1&quot; is not a size: give KiB as a whole number (65536), a number with a unit K, M or G (512M, 1.5G), or a share of the memory (25%).</translation>
    </message>
    <message id="CtlSizeTooSmall">
        <source>%1 is too small for a disk: the smallest disk is %2.</source>
        <translation>%1 is too small for a disk: the smallest disk is %2.</translation>
    </message>
    <message id="CtlSizeTooBig">
        <source>%1 is too large for one disk (at most %2): choose a smaller size.</source>
        <translation>%1 is too large for one disk (at most %2): choose a smaller size.</translation>
    </message>
    <message id="CtlSizeShareUnknown">
        <source>this machine's memory cannot be read, so a share of it cannot be used: give the size in KiB or with a unit.</source>
        <translation>this machine's memory cannot be read, so a share of it cannot be used: give the size in KiB or with a unit.</translation>
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
        <translation>Usage: vellumarctl &lt;command&gt; [options]

Makes RAM disks: memory-backed ext4 volumes mounted on a folder.

Commands:
  create --size &lt;size&gt; [--name &lt;name&gt;] [--mount &lt;path&gt;]   make a disk
  list [--json]                                           show the disks
  eject &lt;mount path&gt;                                      unmount a disk and free its memory
  mem [--json]                                            show the memory figures
  swap [--json]                                           show the swap figures

Sizes: 65536 (KiB), 512M, 1.5G, 100 MiB, or 25% of the memory.
vellumarctl &lt;command&gt; --help shows the options of one command; --version shows the version.</translation>
    </message>
    <message id="CtlHelpCreate">
        <source>Usage: vellumarctl create --size &lt;size&gt; [--name &lt;name&gt;] [--mount &lt;path&gt;]

Makes a RAM disk, formats it (ext4), mounts it and prints its mount path.
  --size &lt;size&gt;    65536 (KiB), 512M, 1.5G, 100 MiB, or 25% of the memory; at least 224 KiB
  --name &lt;name&gt;    the volume name (default &quot;Ram Disk&quot;)
  --mount &lt;path&gt;   an empty or new folder to mount on (default: a new folder under the
                   mount location of the preferences)
Exit status: 0 made, 1 failed (what was made is removed again), 2 bad input (nothing made).</source>
        <translation>Usage: vellumarctl create --size &lt;size&gt; [--name &lt;name&gt;] [--mount &lt;path&gt;]

Makes a RAM disk, formats it (ext4), mounts it and prints its mount path.
  --size &lt;size&gt;    65536 (KiB), 512M, 1.5G, 100 MiB, or 25% of the memory; at least 224 KiB
  --name &lt;name&gt;    the volume name (default &quot;Ram Disk&quot;)
  --mount &lt;path&gt;   an empty or new folder to mount on (default: a new folder under the
                   mount location of the preferences)
Exit status: 0 made, 1 failed (what was made is removed again), 2 bad input (nothing made).</translation>
    </message>
    <message id="CtlHelpList">
        <source>Usage: vellumarctl list [--json]

Shows the RAM disks on this machine, whichever program made them.
  --json   one JSON array; sizes in KiB (sizeKiB, usedKiB) and in bytes (sizeBytes, usedBytes)</source>
        <translation>Usage: vellumarctl list [--json]

Shows the RAM disks on this machine, whichever program made them.
  --json   one JSON array; sizes in KiB (sizeKiB, usedKiB) and in bytes (sizeBytes, usedBytes)</translation>
    </message>
    <message id="CtlHelpEject">
        <source>Usage: vellumarctl eject &lt;mount path&gt;

Unmounts the RAM disk mounted on &lt;mount path&gt; and gives its memory back.</source>
        <translation>Usage: vellumarctl eject &lt;mount path&gt;

Unmounts the RAM disk mounted on &lt;mount path&gt; and gives its memory back.</translation>
    </message>
    <message id="CtlHelpMem">
        <source>Usage: vellumarctl mem [--json]

Shows the memory figures of this machine (sizes in KiB, MiB or GiB, in MiB with --json; counters as counts).</source>
        <translation>Usage: vellumarctl mem [--json]

Shows the memory figures of this machine (sizes in KiB, MiB or GiB, in MiB with --json; counters as counts).</translation>
    </message>
    <message id="CtlHelpSwap">
        <source>Usage: vellumarctl swap [--json]

Shows the swap figures of this machine.</source>
        <translation>Usage: vellumarctl swap [--json]

Shows the swap figures of this machine.</translation>
    </message>
    <message id="CtlNoCommand">
        <source>no command given: see vellumarctl --help.</source>
        <translation>no command given: see vellumarctl --help.</translation>
    </message>
    <message id="CtlUnknownCommandAll">
        <source>unknown command &quot;%1&quot;: the commands are create, list, eject, mem and swap (see vellumarctl --help).</source>
        <translation>unknown command &quot;%1&quot;: the commands are create, list, eject, mem and swap (see vellumarctl --help).</translation>
    </message>
    <message id="CtlWriteFailed">
        <source>the output could not be written (%1).</source>
        <translation>the output could not be written (%1).</translation>
    </message>
    <message id="CtlListHeader">
        <source>DEVICE|SIZE|USED|NAME|MOUNTED ON</source>
        <translation>DEVICE|SIZE|USED|NAME|MOUNTED ON</translation>
    </message>
</context>
</TS>
