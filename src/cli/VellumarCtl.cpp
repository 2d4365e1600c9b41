#include "VellumarCtl.h"

#include "DiskCommands.h"
#include "Localization.h"
#include "MemCommands.h"

#include <QMap>

namespace {

const QString programName = QStringLiteral("vellumarctl");

int badInput(QTextStream &err, const QString &message)
{
    err << programName << ": " << message << Qt::endl;
    return 2;
}

// -h or --help among a command's arguments.
bool asksForHelp(const QStringList &arguments)
{
    return arguments.contains(QStringLiteral("-h")) || arguments.contains(QStringLiteral("--help"));
}

// Every command with the key of its usage.
const QMap<QString, const char *> &helpKeys()
{
    static const QMap<QString, const char *> keys = {
        {QStringLiteral("create"), "CtlHelpCreate"}, {QStringLiteral("list"), "CtlHelpList"},
        {QStringLiteral("eject"), "CtlHelpEject"},   {QStringLiteral("sync"), "CtlHelpSync"},
        {QStringLiteral("mem"), "CtlHelpMem"},       {QStringLiteral("swap"), "CtlHelpSwap"}};
    return keys;
}

// The usage of one command, or of all when `command` is empty.
QString usage(const QString &command)
{
    if (helpKeys().contains(command))
        return localizedStringForKey(QLatin1String(helpKeys().value(command)));
    return localizedStringForKey(QStringLiteral("CtlHelp"));
}

} // namespace

int runVellumarCtl(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    const QString command = arguments.value(0);
    const QStringList rest = arguments.mid(1);
    if (command == QStringLiteral("--version") || command == QStringLiteral("-V")) {
        out << programName << ' ' << QStringLiteral(VELLUMAR_VERSION) << Qt::endl;
        return 0;
    }
    if (command == QStringLiteral("--help") || command == QStringLiteral("-h") ||
        command == QStringLiteral("help")) {
        out << usage(rest.value(0)) << Qt::endl;
        return 0;
    }
    if (command.isEmpty())
        return badInput(err, localizedStringForKey(QStringLiteral("CtlNoCommand")));
    if (!helpKeys().contains(command))
        return badInput(err,
                        localizedStringForKey(QStringLiteral("CtlUnknownCommandAll")).arg(command));
    // Asked of every command before its arguments are read: "sync --help" is no disk.
    if (asksForHelp(rest)) {
        out << usage(command) << Qt::endl;
        return 0;
    }
    if (command == QStringLiteral("create"))
        return DiskCommands::create(rest, out, err);
    if (command == QStringLiteral("list"))
        return DiskCommands::list(rest, out, err);
    if (command == QStringLiteral("eject"))
        return DiskCommands::eject(rest, out, err);
    if (command == QStringLiteral("sync"))
        return DiskCommands::sync(rest, out, err);
    if (command == QStringLiteral("mem"))
        return runMemCommand(rest);
    return runSwapCommand(rest);
}
