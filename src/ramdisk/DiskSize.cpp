#include "DiskSize.h"

#include <QLocale>
#include <QRegularExpression>

namespace DiskSize {
namespace {

// Digits beyond this cannot be a disk: refused before any arithmetic can overflow.
constexpr int MaxDigits = 15;

// KiB per unit; 0 for an unknown unit.
qint64 unitFactor(const QString &unit)
{
    const QString lower = unit.toLower();
    // "KB", "MB" and "GB" are what people type for the same 1024-based units.
    const QString letter = lower.left(1);
    const QString rest = lower.mid(1);
    if (!rest.isEmpty() && rest != QLatin1String("ib") && rest != QLatin1String("b"))
        return 0;
    if (letter == QLatin1String("k"))
        return 1;
    if (letter == QLatin1String("m"))
        return 1024;
    if (letter == QLatin1String("g"))
        return 1024 * 1024;
    return 0;
}

// whole.fraction × numerator ÷ denominator, rounded down, in 64 bits without overflow for the
// digit counts allowed.
qint64 scaled(const QString &whole, const QString &fraction, qint64 numerator, qint64 denominator)
{
    qint64 fractionValue = 0;
    qint64 fractionScale = 1;
    for (const QChar digit : fraction) {
        fractionValue = fractionValue * 10 + digit.digitValue();
        fractionScale *= 10;
    }
    const long double value =
        (long double)whole.toLongLong() + (long double)fractionValue / (long double)fractionScale;
    return qint64(value * (long double)numerator / (long double)denominator);
}

Reading checked(qint64 kib)
{
    if (kib <= 0)
        return {0, Problem::Zero};
    if (kib < smallestKiB)
        return {kib, Problem::TooSmall};
    if (kib > largestKiB)
        return {kib, Problem::TooLarge};
    return {kib, Problem::None};
}

} // namespace

Reading read(const QString &text, qint64 memoryKiB)
{
    // A point is always a decimal point; so is the locale's own separator ("1,5G" in German).
    QString decimal = QLocale().decimalPoint();
    if (decimal.size() != 1 || decimal.at(0).isDigit() || decimal.at(0).isLetter())
        decimal = QStringLiteral(".");
    const QRegularExpression form(
        QStringLiteral("^(\\d+)(?:(?:\\.|%1)(\\d+))?(?: ?([A-Za-z]+|%))?$")
            .arg(QRegularExpression::escape(decimal)));
    const QRegularExpressionMatch match = form.match(text.trimmed());
    if (!match.hasMatch())
        return {};
    const QString whole = match.captured(1);
    const QString fraction = match.captured(2);
    const QString unit = match.captured(3);
    if (whole.size() + fraction.size() > MaxDigits)
        return {largestKiB + 1, Problem::TooLarge};
    if (unit.isEmpty()) {
        // A bare number is whole KiB: "1.5" says nothing about its unit.
        if (match.hasCaptured(2))
            return {};
        return checked(whole.toLongLong());
    }
    if (unit == QLatin1String("%")) {
        if (memoryKiB <= 0)
            return {0, Problem::NoMemoryFigure};
        return checked(scaled(whole, fraction, memoryKiB, 100));
    }
    const qint64 factor = unitFactor(unit);
    if (factor == 0)
        return {};
    return checked(scaled(whole, fraction, factor, 1));
}

QString decimal(double value)
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    QString text = locale.toString(value, 'f', 2);
    // "1.50" reads "1.5", "64.00" reads "64".
    const QChar point = locale.decimalPoint().at(0);
    if (text.contains(point)) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(point))
            text.chop(1);
    }
    return text;
}

QString describe(qint64 kib)
{
    if (kib < 1024)
        return QStringLiteral("%1 KiB").arg(kib);
    if (kib < 1024 * 1024)
        return decimal(double(kib) / 1024) + QStringLiteral(" MiB");
    return decimal(double(kib) / (1024 * 1024)) + QStringLiteral(" GiB");
}

} // namespace DiskSize
