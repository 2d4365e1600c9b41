#pragma once

#include <QString>

// Disk sizes as people type them, asked of the memory tool as 512-byte blocks:
//   "65536"          a whole number of KiB;
//   "512M", "1.5 G"  a number with a unit K/KiB/KB, M/MiB/MB or G/GiB/GB (all 1024-based, any
//                    case, a space allowed before the unit); the decimal separator is a point
//                    or the locale's own ("1,5G" in German);
//   "25%"            a share of the machine's memory.
// Anything else is refused, trailing text included: "12abc" is not 12 KiB.
namespace DiskSize {

// The largest size whose block count (KiB × 2) fits the 32-bit device request.
constexpr qint64 largestKiB = (qint64(1) << 31) - 1;
// The smallest disk the file system can be made on (measured: mkfs refuses anything smaller).
constexpr qint64 smallestKiB = 224;

enum class Problem {
    None,
    NotASize,       // empty, or not one of the forms above
    Zero,           // the forms are right but the size is 0
    TooSmall,       // below smallestKiB
    TooLarge,       // the block count does not fit the device request
    NoMemoryFigure, // a share of memory, but the machine's memory is unknown
};

struct Reading
{
    qint64 kib = 0; // the size, valid when problem is None
    Problem problem = Problem::NotASize;
    bool ok() const { return problem == Problem::None; }
};

// Reads `text`; `memoryKiB` is what a share ("25%") is taken of (≤ 0: unknown). Fractions of a
// KiB are dropped.
Reading read(const QString &text, qint64 memoryKiB);

// The size for people, and the one way sizes and memory figures are written: "512 KiB",
// "64 MiB", "1.5 GiB" (at most two decimals, none when whole, the locale's separator). read()
// accepts every text it gives.
QString describe(qint64 kib);
// A figure as describe() writes its number: at most two decimals, none when whole, the locale's
// separator ("1.5", "64", "2.75").
QString decimal(double value);

} // namespace DiskSize
