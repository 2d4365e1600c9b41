#include "DiskSize.h"

#include <limits>

namespace DiskSize {

std::optional<qint64> leadingInteger(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i).isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+'))) {
        negative = text.at(i) == QLatin1Char('-');
        ++i;
    }
    const qsizetype firstDigit = i;
    constexpr qint64 largest = std::numeric_limits<qint64>::max();
    qint64 value = 0;
    for (; i < text.size() && text.at(i) >= QLatin1Char('0') && text.at(i) <= QLatin1Char('9');
         ++i) {
        const int digit = text.at(i).unicode() - '0';
        if (value > (largest - digit) / 10)
            return negative ? -largest : largest;
        value = value * 10 + digit;
    }
    if (i == firstDigit)
        return std::nullopt;
    return negative ? -value : value;
}

} // namespace DiskSize
