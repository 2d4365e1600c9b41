#include "MemCommands.h"

#include "DiskSize.h"
#include "Localization.h"
#include "MenuMeterMemStats.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>
#include <cstdio>

namespace {

// The dictionaries' keys in the order they are shown.
const char *const kMemKeys[] = {
    "total",   "free",    "used",     "active", "inactive",  "wire",         "freepage",     "hits",
    "lookups", "pageins", "pageouts", "faults", "cowfaults", "deltapageins", "deltapageouts"};
const char *const kSwapKeys[] = {"swappath", "swapcount", "swapcountmax", "swapsize"};

// Returns whether JSON was asked for, or empty after reporting a wrong argument.
std::optional<bool> parseArguments(const QString &command, const QStringList &args,
                                   QTextStream &err)
{
    bool json = false;
    for (const QString &arg : args) {
        if (arg == QLatin1String("--json")) {
            json = true;
            continue;
        }
        err << "vellumarctl: "
            << localizedStringForKey(QStringLiteral("MemCommandUnknownArgument")).arg(arg, command)
            << '\n';
        return std::nullopt;
    }
    return json;
}

template <size_t N>
void print(const QVariantMap &stats, const char *const (&keys)[N], bool json, QTextStream &out)
{
    if (json) {
        out << QJsonDocument(QJsonObject::fromVariantMap(stats)).toJson(QJsonDocument::Compact)
            << '\n';
        return;
    }
    for (const char *keyName : keys) {
        const QString key = QLatin1String(keyName);
        const QVariant value = stats.value(key);
        QString text;
        if (value.typeId() == QMetaType::Double)
            text = DiskSize::describe(qint64(value.toDouble() * 1024)); // the figures are MiB
        else
            text = value.toString();
        out << key.leftJustified(14) << text << '\n';
    }
}

int runWithStdStreams(int (*run)(const QStringList &, MenuMeterMemStats &, QTextStream &,
                                 QTextStream &),
                      const QStringList &args)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    MenuMeterMemStats stats;
    return run(args, stats, out, err);
}

} // namespace

int runMemCommand(const QStringList &args, MenuMeterMemStats &stats, QTextStream &out,
                  QTextStream &err)
{
    const std::optional<bool> json = parseArguments(QStringLiteral("mem"), args, err);
    if (!json)
        return 2;
    const std::optional<QVariantMap> reading = stats.getMemStats();
    if (!reading) {
        err << "vellumarctl: " << localizedStringForKey(QStringLiteral("MemStatsUnreadable"))
            << '\n';
        return 1;
    }
    print(*reading, kMemKeys, *json, out);
    return 0;
}

int runSwapCommand(const QStringList &args, MenuMeterMemStats &stats, QTextStream &out,
                   QTextStream &err)
{
    const std::optional<bool> json = parseArguments(QStringLiteral("swap"), args, err);
    if (!json)
        return 2;
    const std::optional<QVariantMap> reading = stats.getSwapStats();
    if (!reading) {
        err << "vellumarctl: " << localizedStringForKey(QStringLiteral("SwapStatsUnknown")) << '\n';
        return 1;
    }
    print(*reading, kSwapKeys, *json, out);
    return 0;
}

int runMemCommand(const QStringList &args)
{
    return runWithStdStreams(&runMemCommand, args);
}

int runSwapCommand(const QStringList &args)
{
    return runWithStdStreams(&runSwapCommand, args);
}
