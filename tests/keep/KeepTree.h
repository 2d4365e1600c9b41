#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <cstdint>
#include <string>

// Trees of files for the kept-contents tests, handled as bytes so names that are not UTF-8
// survive: building one with odd names, links and attributes, and reading back everything a
// save must keep.
namespace KeepTree {

// What one entry is: type, permissions, size, modification time, link target, user
// extended attributes and a digest of the contents.
struct Entry
{
    char type = '?';
    unsigned mode = 0;
    int64_t size = 0;
    uint64_t links = 0; // hard links of a file
    int64_t mtimeNs = 0;
    std::string target;
    std::string xattrs;
    QByteArray digest;
    bool operator==(const Entry &other) const = default;
};
using Snapshot = QMap<std::string, Entry>;

// Every entry below `root` by relative path; lost+found and the save's own folders left out.
// `withTimes` false leaves out the folders' times (they change as a folder's files change).
Snapshot snapshot(const std::string &root, bool withTimes = true);
// The differences of two snapshots, one line each, for a failure message.
QString differences(const Snapshot &expected, const Snapshot &actual);

// Writes `files` files spread over nested folders with odd names (spaces, line breaks, bytes
// that are not UTF-8), several permissions, symbolic links (one dangling), a hard-linked pair
// and user extended attributes.
void build(const std::string &root, int files);

void writeFile(const std::string &path, const QByteArray &contents);

} // namespace KeepTree
