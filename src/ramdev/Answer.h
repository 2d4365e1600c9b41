#pragma once

#include <string>

// What a run tells its caller, held back until the lock is released: the caller owns the
// answer pipe and may never read it, so nothing is written while other users wait.
class Answer
{
public:
    // Adds a line for standard output.
    void say(const std::string &line);
    // Sets the one error sentence for standard error (prefixed with the program's name) and
    // returns `status`, so a command can `return answer.fail(2, "...")`.
    int fail(int status, const std::string &message);
    // Adds words from a tool the helper ran (mkfs), for standard error.
    void addToolWords(const std::string &words);
    // Writes it all; false when standard output could not take it.
    bool deliver() const;

private:
    std::string m_output;
    std::string m_errors;
};
