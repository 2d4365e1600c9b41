// vellumar-ramdev: the one program of Vellumar that runs as root. Ordinary users reach it
// through pkexec; it makes, formats, mounts, unmounts and releases memory disks, and acts only
// on the caller's own disks, known by the records it keeps.
//
//   vellumar-ramdev attach ram://<blocks> [block|compressed[:lz4|:zstd]]
//                                                  prints the device and the disk's id
//   vellumar-ramdev attach ram://<blocks> memory <label> <folder>
//                                                  prints the device, the id and the folder
//   vellumar-ramdev format <device> <id> <label>
//   vellumar-ramdev mount <device> <id> <folder>   prints the folder
//
// The folder "@media/<name>" asks for the default place: a new folder named after the disk
// ("<name>", "<name> 2", ...) that the helper makes in /media/<user> and removes at unmount.
//   vellumar-ramdev unmount <device> <id>
//   vellumar-ramdev detach <device> <id>
//   vellumar-ramdev list                           the caller's disks (root: all), one a line
//   vellumar-ramdev check                          nothing: whether the helper may run at all
//
// Exit status: 0 done, 1 the system refused (busy, out of memory), 2 refused request.

#include "Answer.h"
#include "Caller.h"
#include "Commands.h"
#include "ProcessGuard.h"

#include <string>
#include <vector>

int main(int argc, char **argv)
{
    std::string problem;
    const bool hardened = ProcessGuard::harden(problem);
    const std::vector<std::string> words(argv + 1, argv + argc);
    Answer answer;
    Caller caller;
    int status = 0;
    std::vector<std::string> undo;
    if (!hardened)
        status = answer.fail(2, problem);
    else if (!Commands::known(words, answer))
        status = 2;
    else if (!Caller::identify(caller, problem))
        status = answer.fail(2, problem);
    else
        status = Commands::run(caller, words, answer, undo);
    // The lock is released by now. A disk whose device or folder could not be handed over
    // would be left behind with nobody knowing of it: take it back.
    if (!answer.deliver() && status == 0) {
        Answer undone;
        if (!undo.empty() && Commands::takeBack(caller, undo, undone) == 0)
            undone.fail(1, "cannot hand over the disk's name; the disk was released again");
        undone.deliver();
        return 1;
    }
    return status;
}
