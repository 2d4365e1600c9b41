#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// The system log: one line per message, written to standard error and to syslog. Tests read
// the lines through a capture instead.
namespace SystemLog {

void log(const QString &line);

// While a capture lives, every logged line is also appended to it (from any thread).
class Capture
{
public:
    Capture();
    ~Capture();
    Capture(const Capture &) = delete;
    Capture &operator=(const Capture &) = delete;

    QStringList lines() const;
    void clear();

private:
    int m_id;
};

} // namespace SystemLog
