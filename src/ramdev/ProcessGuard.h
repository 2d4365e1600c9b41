#pragma once

#include <string>

// What a root helper started by an ordinary user must undo before it touches anything: the
// caller chose its resource limits, its scheduling priority, its terminal and its signals.
namespace ProcessGuard {

// Resets every limit that could stop the helper half-way (file size, stack, CPU time, open
// files, address space) to safe values and turns core dumps off; puts the priority back to
// normal; blocks the signals a terminal or a session sends and ignores job control, so a
// background write to a terminal never stops the helper; moves it out of the caller's control
// group where the system allows, so the caller cannot freeze it. umask 022. A limit that
// cannot be raised (a system that does not give root the right to) and is too tight for the
// work: false, with the sentence for the caller in `problem`; nothing may be done then.
bool harden(std::string &problem);

// Kills the helper after `seconds` unless cancelled with 0: for work that may wait on a file
// system the caller controls, done before the lock is taken. Ending there leaves nothing made.
void limitTime(unsigned seconds);

} // namespace ProcessGuard
