#include "Text.h"

#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace Text {

int fail(int status, const std::string &message)
{
    std::fprintf(stderr, "vellumar-ramdev: %s\n", message.c_str());
    return status;
}

std::string systemError(const std::string &what, int error)
{
    return what + ": " + std::strerror(error);
}

std::string readSmallFile(const std::string &path)
{
    std::string text;
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return text;
    char buffer[4096];
    ssize_t length = 0;
    while (text.size() < 65536 && (length = read(fd, buffer, sizeof buffer)) > 0)
        text.append(buffer, size_t(length));
    close(fd);
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    return text;
}

bool parseUnsigned(const std::string &text, uint64_t &value)
{
    if (text.empty() || text.size() > 19)
        return false;
    uint64_t number = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
        number = number * 10 + uint64_t(c - '0');
    }
    value = number;
    return true;
}

std::string escape(const std::string &value)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (const unsigned char c : value) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || std::strchr("/._+@:,-", c) != nullptr;
        if (plain && c != 0) {
            out += char(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

std::string unescape(const std::string &value)
{
    auto digit = [](char c) -> int {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        return -1;
    };
    std::string out;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '%' && i + 2 < value.size()) {
            const int high = digit(value[i + 1]);
            const int low = digit(value[i + 2]);
            if (high >= 0 && low >= 0) {
                out += char(high * 16 + low);
                i += 2;
                continue;
            }
        }
        out += value[i];
    }
    return out;
}

std::vector<std::string> lines(const std::string &text)
{
    std::vector<std::string> found;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t end = text.find('\n', start);
        found.push_back(
            text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return found;
}

} // namespace Text
