#pragma once

#include <QString>
#include <QStringList>

// What a disk is made of on Linux. Memory disks are the kernel's own memory file system, the
// fastest; compressed disks keep data that compresses in less memory; block disks are a real
// block device for programs that need one.
enum class DiskKind { Memory, Compressed, Block };

namespace DiskKinds {

constexpr DiskKind defaultKind = DiskKind::Memory;

// "memory", "compressed", "block": the words of the command line, the helper and --json.
QString name(DiskKind kind);
// The kind a word names (any case); false for anything else.
bool parse(const QString &word, DiskKind &kind);
// Every kind's word, in the order a chooser lists them.
QStringList names();

} // namespace DiskKinds
