#include "VellumarCtl.h"

#include "DiskInventory.h"
#include "DiskSize.h"
#include "KeepCommands.h"
#include "Localization.h"
#include "MachineMemory.h"
#include "MemCommands.h"
#include "MountPathPolicy.h"
#include "Paths.h"
#include "RamDisk.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace {

const QString programName = QStringLiteral("vellumarctl");

int badInput(QTextStream &err, const QString &message)
{
    err << programName << ": " << message << Qt::endl;
    return 2;
}

// Prints each phase report as it arrives, one line each: a success on standard output, a
// failure on standard error.
class PhasePrinter : public RamDiskDelegate
{
public:
    PhasePrinter(QTextStream &out, QTextStream &err) : m_out(out), m_err(err) {}

    void fase(int phase, bool successful, const QString &result) override
    {
        static const char *const names[] = {"allocate", "build", "mount", "finalize"};
        const QString name =
            phase >= 0 && phase < 4 ? QLatin1String(names[phase]) : QString::number(phase);
        QString text = result;
        text.replace(QLatin1Char('\n'), QLatin1Char(' '));
        QString line =
            name + (successful ? QStringLiteral(" ok ") : QStringLiteral(" failed ")) + text;
        if (successful)
            m_out << line.trimmed() << Qt::endl;
        else
            m_err << programName << ": " << line.trimmed() << Qt::endl;
    }

private:
    QTextStream &m_out;
    QTextStream &m_err;
};

// -h or --help among a command's arguments.
bool asksForHelp(const QStringList &arguments)
{
    return arguments.contains(QStringLiteral("-h")) || arguments.contains(QStringLiteral("--help"));
}

// The usage of one command, or of all when `command` is empty.
QString usage(const QString &command)
{
    static const QMap<QString, const char *> keys = {{QStringLiteral("create"), "CtlHelpCreate"},
                                                     {QStringLiteral("list"), "CtlHelpList"},
                                                     {QStringLiteral("eject"), "CtlHelpEject"},
                                                     {QStringLiteral("mem"), "CtlHelpMem"},
                                                     {QStringLiteral("swap"), "CtlHelpSwap"}};
    if (keys.contains(command))
        return localizedStringForKey(QLatin1String(keys.value(command)));
    return localizedStringForKey(QStringLiteral("CtlHelp"));
}

struct Options
{
    QStringList positional;
    QMap<QString, QString> values;
    bool json = false;
};

// Splits "--size 10", "--size=10" and flags; returns an error message or an empty string.
QString parseOptions(const QStringList &arguments, const QStringList &withValue, Options &options)
{
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == QStringLiteral("--json")) {
            options.json = true;
            continue;
        }
        if (!argument.startsWith(QStringLiteral("--"))) {
            options.positional << argument;
            continue;
        }
        const qsizetype equals = argument.indexOf(QLatin1Char('='));
        const QString name = equals < 0 ? argument : argument.left(equals);
        if (!withValue.contains(name))
            return localizedStringForKey(QStringLiteral("CtlUnknownArgument")).arg(argument);
        if (equals >= 0) {
            options.values.insert(name, argument.mid(equals + 1));
        } else if (i + 1 < arguments.size()) {
            options.values.insert(name, arguments.at(++i));
        } else {
            return localizedStringForKey(QStringLiteral("CtlMissingValue")).arg(name);
        }
    }
    return QString();
}

// The size as the disk window reads it. Returns an error message, or an empty string with
// `kib` set.
QString parseSize(const QString &text, qint64 &kib)
{
    const DiskSize::Reading reading = DiskSize::read(text, MachineMemory::read().totalKiB);
    switch (reading.problem) {
    case DiskSize::Problem::None:
        break;
    case DiskSize::Problem::NotASize:
        return localizedStringForKey(QStringLiteral("CtlSizeForm")).arg(text);
    case DiskSize::Problem::Zero:
        return localizedStringForKey(QStringLiteral("CtlSizeNotPositive"));
    case DiskSize::Problem::TooSmall:
        return localizedStringForKey(QStringLiteral("CtlSizeTooSmall"))
            .arg(DiskSize::describe(reading.kib), DiskSize::describe(DiskSize::smallestKiB));
    case DiskSize::Problem::TooLarge:
        return localizedStringForKey(QStringLiteral("CtlSizeTooBig"))
            .arg(text.trimmed(), DiskSize::describe(DiskSize::largestKiB));
    case DiskSize::Problem::NoMemoryFigure:
        return localizedStringForKey(QStringLiteral("CtlSizeShareUnknown"));
    }
    if (reading.kib > machineMemoryKiB())
        return localizedStringForKey(QStringLiteral("CtlSizeTooLarge"))
            .arg(DiskSize::describe(reading.kib), DiskSize::describe(machineMemoryKiB()));
    kib = reading.kib;
    return QString();
}

int create(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    Options options;
    const QString optionProblem = parseOptions(
        arguments, {QStringLiteral("--size"), QStringLiteral("--name"), QStringLiteral("--mount")},
        options);
    if (!optionProblem.isEmpty())
        return badInput(err, optionProblem);
    if (!options.positional.isEmpty())
        return badInput(err, localizedStringForKey(QStringLiteral("CtlUnknownArgument"))
                                 .arg(options.positional.first()));
    if (!options.values.contains(QStringLiteral("--size")))
        return badInput(err, localizedStringForKey(QStringLiteral("CtlSizeMissing")));
    qint64 kib = 0;
    const QString sizeProblem = parseSize(options.values.value(QStringLiteral("--size")), kib);
    if (!sizeProblem.isEmpty())
        return badInput(err, sizeProblem);

    QString name = options.values.value(QStringLiteral("--name"));
    if (name.isEmpty())
        name = QStringLiteral("Ram Disk");
    QString path = Paths::expandTilde(options.values.value(QStringLiteral("--mount")));
    if (path.isEmpty())
        path = RamDisk::mountPathGenerator();
    // The path as the mount table will show it.
    if (QDir::isAbsolutePath(path))
        path = QDir::cleanPath(path);
    const QString pathProblem = mountPathProblem(path);
    if (!pathProblem.isEmpty())
        return badInput(err, pathProblem);

    // Nothing is made when this user cannot make disks at all.
    const QString privilege = RamDisk::privilegeProblem();
    if (!privilege.isEmpty()) {
        err << programName << ": " << privilege << Qt::endl;
        return 1;
    }

    RamDisk disk(quint32(kib * 2), name);
    const QString parent = Paths::deletingLastPathComponent(QDir::cleanPath(path));
    if (!QFileInfo(parent).isDir())
        return badInput(err,
                        localizedStringForKey(QStringLiteral("CtlMountParentMissing")).arg(parent));

    PhasePrinter printer(out, err);
    disk.setDelegate(&printer);
    disk.setMountPath(path);
    // Stop at the first failed phase: later ones cannot do anything useful.
    const bool made =
        disk.allocateRAM() && disk.createFilesystem() && disk.mount() && disk.showInFinder();
    if (made) {
        out << disk.mountPath() << Qt::endl;
        return 0;
    }
    disk.setDelegate(nullptr);
    const TeardownOutcome outcome = disk.tearDown();
    if (outcome.finished)
        err << programName << ": " << localizedStringForKey(QStringLiteral("CtlCreateFailed"))
            << Qt::endl;
    else
        err << programName << ": "
            << localizedStringForKey(QStringLiteral("CtlCleanupFailed")).arg(outcome.userText)
            << Qt::endl;
    return 1;
}

// One line a disk under a header, sizes for people; the mount path last, as it may hold spaces.
void printTable(const QList<DiskInfo> &disks, QTextStream &out)
{
    QList<QStringList> rows = {
        localizedStringForKey(QStringLiteral("CtlListHeader")).split(QLatin1Char('|'))};
    for (const DiskInfo &disk : disks)
        rows.append({disk.device, DiskSize::describe(disk.sizeKiB),
                     DiskSize::describe(disk.usedKiB), disk.name,
                     disk.mountPath.isEmpty() ? QStringLiteral("-") : disk.mountPath});
    QList<qsizetype> widths(rows.first().size(), 0);
    for (const QStringList &row : rows)
        for (qsizetype column = 0; column < row.size() && column < widths.size(); ++column)
            widths[column] = std::max(widths[column], row.at(column).size());
    for (const QStringList &row : rows) {
        QString line;
        for (qsizetype column = 0; column < row.size(); ++column) {
            const bool last = column + 1 == row.size();
            line += last ? row.at(column) : row.at(column).leftJustified(widths.value(column) + 2);
        }
        out << line << Qt::endl;
    }
}

int list(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    Options options;
    const QString problem = parseOptions(arguments, {}, options);
    if (!problem.isEmpty())
        return badInput(err, problem);
    if (!options.positional.isEmpty())
        return badInput(err, localizedStringForKey(QStringLiteral("CtlUnknownArgument"))
                                 .arg(options.positional.first()));
    QString inventoryProblem;
    const QList<DiskInfo> disks = DiskInventory::disks(&inventoryProblem);
    if (!inventoryProblem.isEmpty()) {
        err << programName << ": " << inventoryProblem << Qt::endl;
        return 1;
    }
    if (options.json) {
        QJsonArray array;
        for (const DiskInfo &disk : disks) {
            array.append(QJsonObject{{QStringLiteral("device"), disk.device},
                                     {QStringLiteral("mountPath"), disk.mountPath},
                                     {QStringLiteral("sizeKiB"), disk.sizeKiB},
                                     {QStringLiteral("usedKiB"), disk.usedKiB},
                                     {QStringLiteral("sizeBytes"), disk.sizeKiB * 1024},
                                     {QStringLiteral("usedBytes"), disk.usedKiB * 1024},
                                     {QStringLiteral("name"), disk.name}});
        }
        out << QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Indented));
        out.flush();
        return 0;
    }
    printTable(disks, out);
    return 0;
}

int eject(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    Options options;
    const QString problem = parseOptions(arguments, {}, options);
    if (!problem.isEmpty())
        return badInput(err, problem);
    if (options.positional.size() != 1)
        return badInput(err, localizedStringForKey(QStringLiteral("CtlEjectNeedsPath")));
    const QString path = Paths::expandTilde(options.positional.first());
    const DiskInfo found = DiskInventory::find(path);
    if (found.device.isEmpty())
        return badInput(err, localizedStringForKey(QStringLiteral("CtlNotOurDisk")).arg(path));

    const TeardownOutcome outcome = DiskInventory::rebuild(found)->tearDown();
    if (!outcome.finished) {
        err << programName << ": " << outcome.userText << Qt::endl;
        return 1;
    }
    out << outcome.detachAnswer;
    if (!outcome.detachAnswer.endsWith(QLatin1Char('\n')))
        out << Qt::endl;
    out.flush();
    return 0;
}

} // namespace

qint64 machineMemoryKiB()
{
    const MachineMemory memory = MachineMemory::read();
    if (memory.totalKiB <= 0)
        return std::numeric_limits<qint64>::max();
    return memory.totalKiB + std::max<qint64>(memory.swapKiB, 0);
}

int runVellumarCtl(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    if (const std::optional<int> status = runKeepCommand(arguments, out, err))
        return *status;
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
    static const QStringList commands = {QStringLiteral("create"), QStringLiteral("list"),
                                         QStringLiteral("eject"), QStringLiteral("mem"),
                                         QStringLiteral("swap")};
    if (!commands.contains(command))
        return badInput(err,
                        localizedStringForKey(QStringLiteral("CtlUnknownCommandAll")).arg(command));
    if (asksForHelp(rest)) {
        out << usage(command) << Qt::endl;
        return 0;
    }
    if (command == QStringLiteral("create"))
        return create(rest, out, err);
    if (command == QStringLiteral("list"))
        return list(rest, out, err);
    if (command == QStringLiteral("eject"))
        return eject(rest, out, err);
    if (command == QStringLiteral("mem"))
        return runMemCommand(rest);
    return runSwapCommand(rest);
}
