#pragma once

#include <unistd.h>

// Closes a descriptor when it goes out of scope, unless it was released.
struct Fd
{
    int fd = -1;
    explicit Fd(int value) : fd(value) {}
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
    ~Fd() { reset(-1); }
    void reset(int value)
    {
        if (fd >= 0)
            close(fd);
        fd = value;
    }
    int release()
    {
        const int value = fd;
        fd = -1;
        return value;
    }
    operator int() const { return fd; }
};
