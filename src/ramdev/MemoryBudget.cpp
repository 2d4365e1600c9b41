#include "MemoryBudget.h"

#include "Text.h"

#include <algorithm>

namespace MemoryBudget {
namespace {

constexpr uint64_t MiB = 1024 * 1024;

std::string inMiB(uint64_t bytes)
{
    return std::to_string(bytes / MiB) + " MiB";
}

} // namespace

bool read(Figures &figures)
{
    bool haveAvailable = false;
    bool haveTotal = false;
    for (const std::string &line : Text::lines(Text::readSmallFile("/proc/meminfo"))) {
        const size_t colon = line.find(':');
        if (colon == std::string::npos)
            continue;
        const std::string key = line.substr(0, colon);
        std::string number = line.substr(colon + 1);
        number.erase(0, number.find_first_not_of(' '));
        number = number.substr(0, number.find(' '));
        uint64_t kib = 0;
        if (!Text::parseUnsigned(number, kib))
            continue;
        if (key == "MemAvailable") {
            figures.availableBytes = kib * 1024;
            haveAvailable = true;
        } else if (key == "MemTotal") {
            figures.totalBytes = kib * 1024;
            haveTotal = true;
        }
    }
    return haveAvailable && haveTotal;
}

uint64_t marginBytes(uint64_t totalBytes)
{
    return std::clamp<uint64_t>(totalBytes / 16, 64 * MiB, 512 * MiB);
}

std::string refusal(uint64_t requestedBytes, uint64_t disksMayStillTakeBytes,
                    const Figures &figures)
{
    const uint64_t margin = marginBytes(figures.totalBytes);
    const uint64_t reserved = margin + disksMayStillTakeBytes;
    const uint64_t room = figures.availableBytes > reserved ? figures.availableBytes - reserved : 0;
    if (requestedBytes <= room)
        return std::string();
    std::string sentence = "a disk of " + inMiB(requestedBytes) +
                           " is more than this machine can give now: at most " + inMiB(room) +
                           " (" + inMiB(figures.availableBytes) + " available, less " +
                           inMiB(margin) + " kept free";
    if (disksMayStillTakeBytes > 0)
        sentence +=
            " and " + inMiB(disksMayStillTakeBytes) + " that the disks already made may still take";
    return sentence + "); choose a smaller size or eject a disk";
}

} // namespace MemoryBudget
