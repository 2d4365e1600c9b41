#include "MountTable.h"

#include "Text.h"

#include <cstdio>
#include <sstream>
#include <sys/sysmacros.h>

namespace MountTable {
namespace {

// mountinfo writes space, tab, line end and backslash as \ooo.
std::string unescapeOctal(const std::string &field)
{
    std::string out;
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            int code = 0;
            bool ok = true;
            for (size_t k = 1; k <= 3 && ok; ++k) {
                const char c = field[i + k];
                ok = c >= '0' && c <= '7';
                code = code * 8 + (c - '0');
            }
            if (ok) {
                out += char(code);
                i += 3;
                continue;
            }
        }
        out += field[i];
    }
    return out;
}

std::string readWhole(const char *path)
{
    // mountinfo can be long: read it without the small-file cap.
    std::string text;
    if (FILE *file = std::fopen(path, "re")) {
        char buffer[65536];
        size_t length = 0;
        while ((length = std::fread(buffer, 1, sizeof buffer, file)) > 0)
            text.append(buffer, length);
        std::fclose(file);
    }
    return text;
}

} // namespace

std::vector<Entry> read()
{
    std::vector<Entry> entries;
    for (const std::string &line : Text::lines(readWhole("/proc/self/mountinfo"))) {
        // id parent major:minor root mountpoint options [optional...] - fstype source superopts
        std::istringstream words(line);
        std::vector<std::string> fields;
        for (std::string word; words >> word;)
            fields.push_back(word);
        size_t dash = 0;
        while (dash < fields.size() && fields[dash] != "-")
            ++dash;
        Entry entry;
        if (fields.size() < 5 || dash + 2 >= fields.size() ||
            !Text::parseUnsigned(fields[0], entry.id))
            continue;
        unsigned major = 0;
        unsigned minor = 0;
        if (std::sscanf(fields[2].c_str(), "%u:%u", &major, &minor) == 2)
            entry.device = makedev(major, minor);
        entry.mountPoint = unescapeOctal(fields[4]);
        entry.fsType = fields[dash + 1];
        entry.source = unescapeOctal(fields[dash + 2]);
        entries.push_back(entry);
    }
    return entries;
}

bool find(uint64_t id, Entry &entry)
{
    for (const Entry &candidate : read()) {
        if (candidate.id == id) {
            entry = candidate;
            return true;
        }
    }
    return false;
}

} // namespace MountTable
