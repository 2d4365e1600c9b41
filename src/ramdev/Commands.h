#pragma once

#include "Answer.h"
#include "Caller.h"

#include <string>
#include <vector>

// The helper's commands. Each resolves what belongs to the caller first, takes the lock only
// for its work on the system and the records, and leaves its answer in `answer` to be written
// once the lock is released. Exit-status style: 0 done, 1 the system refused (busy, out of
// memory), 2 refused request.
namespace Commands {

// The command named by the first word and its arguments; false (with the usage in `answer`)
// when there is no such command with that many arguments.
bool known(const std::vector<std::string> &words, Answer &answer);

// Runs it. `undo` is set to a command line that takes back what was made, for when the answer
// cannot be handed over (a disk nobody heard of would be left behind).
int run(const Caller &caller, const std::vector<std::string> &words, Answer &answer,
        std::vector<std::string> &undo);

// Takes back what `run` made when its answer could not be handed over (`undo` from `run`).
int takeBack(const Caller &caller, const std::vector<std::string> &undo, Answer &answer);

// The smallest disk: ext4 cannot be made on less.
constexpr uint64_t fewestBlocks = 448;
// Longest time a request waits for another to finish, in seconds.
constexpr unsigned lockSeconds = 10;
// Longest time resolving a caller's folder may take, in seconds.
constexpr unsigned walkSeconds = 10;

} // namespace Commands
