#include "Answer.h"

#include <cerrno>
#include <unistd.h>

namespace {

bool writeAll(int fd, const std::string &text)
{
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t written = write(fd, text.data() + done, text.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        done += size_t(written);
    }
    return true;
}

} // namespace

void Answer::say(const std::string &line)
{
    m_output += line + "\n";
}

int Answer::fail(int status, const std::string &message)
{
    m_errors += "vellumar-ramdev: " + message + "\n";
    return status;
}

void Answer::addToolWords(const std::string &words)
{
    if (!words.empty())
        m_errors += words + (words.back() == '\n' ? "" : "\n");
}

bool Answer::deliver() const
{
    writeAll(STDERR_FILENO, m_errors);
    return writeAll(STDOUT_FILENO, m_output);
}
