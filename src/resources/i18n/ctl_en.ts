<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
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
        <translation>Usage: vellumarctl &lt;command&gt; [options]

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
vellumarctl &lt;command&gt; --help shows the options of one command; --version shows the version.</translation>
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
        <translation>Usage: vellumarctl create --size &lt;size&gt; [--name &lt;name&gt;] [--mount &lt;path&gt;] [--kind &lt;kind&gt;]
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
Exit status: 0 made, 1 failed (what was made is removed again), 2 bad input (nothing made).</translation>
    </message>
    <message id="CtlHelpList">
        <source>Usage: vellumarctl list [--json]

Shows the RAM disks on this machine, whichever program made them: device, size, space used,
memory held now (and a compressed disk's compression ratio), kind, name and mount folder, and
below a kept disk its folder and last complete save.
  --json   one JSON array; sizes in KiB (sizeKiB, usedKiB) and in bytes (sizeBytes, usedBytes),
           kind, keptFolder, lastSave, memoryUsed (bytes), and for a compressed disk
           compressionRatio</source>
        <translation>Usage: vellumarctl list [--json]

Shows the RAM disks on this machine, whichever program made them: device, size, space used,
memory held now (and a compressed disk's compression ratio), kind, name and mount folder, and
below a kept disk its folder and last complete save.
  --json   one JSON array; sizes in KiB (sizeKiB, usedKiB) and in bytes (sizeBytes, usedBytes),
           kind, keptFolder, lastSave, memoryUsed (bytes), and for a compressed disk
           compressionRatio</translation>
    </message>
    <message id="CtlHelpEject">
        <source>Usage: vellumarctl eject &lt;mount path&gt; [--force]

Saves a kept disk into its folder, then unmounts the RAM disk mounted on &lt;mount path&gt; and
gives its memory back. A failed save stops the eject, so nothing is lost.
  --force   eject even when the save failed (what it could not save is lost)</source>
        <translation>Usage: vellumarctl eject &lt;mount path&gt; [--force]

Saves a kept disk into its folder, then unmounts the RAM disk mounted on &lt;mount path&gt; and
gives its memory back. A failed save stops the eject, so nothing is lost.
  --force   eject even when the save failed (what it could not save is lost)</translation>
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
        <source>unknown command "%1": the commands are create, list, eject, sync, mem and swap (see vellumarctl --help).</source>
        <translation>unknown command "%1": the commands are create, list, eject, sync, mem and swap (see vellumarctl --help).</translation>
    </message>
    <message id="CtlWriteFailed">
        <source>the output could not be written (%1).</source>
        <translation>the output could not be written (%1).</translation>
    </message>
    <message id="CtlListHeader">
        <source>DEVICE|SIZE|USED|MEMORY|KIND|NAME|MOUNTED ON</source>
        <translation>DEVICE|SIZE|USED|MEMORY|KIND|NAME|MOUNTED ON</translation>
    </message>
    <message id="CtlHelpSync">
        <source>Usage: vellumarctl sync &lt;mount path&gt;

Saves the kept disk mounted on &lt;mount path&gt; into its folder now. The folder always holds each
file whole: its last saved copy or the new one.</source>
        <translation>Usage: vellumarctl sync &lt;mount path&gt;

Saves the kept disk mounted on &lt;mount path&gt; into its folder now. The folder always holds each
file whole: its last saved copy or the new one.</translation>
    </message>
</context>
</TS>
