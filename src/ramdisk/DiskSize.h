#pragma once

#include <QString>
#include <optional>

// Disk sizes as the user types them: whole KiB, asked of the memory tool as 512-byte blocks.
namespace DiskSize {

// The largest size whose block count (KiB × 2) fits the 32-bit device request.
constexpr qint64 largestKiB = (qint64(1) << 31) - 1;

// The leading whole number of `text` after white space ("12abc" gives 12, " 8" gives 8), with
// its sign; saturates instead of overflowing. Nothing when the text does not begin with one.
std::optional<qint64> leadingInteger(const QString &text);

} // namespace DiskSize
