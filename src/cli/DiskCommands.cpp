#include "DiskCommands.h"

#include "DiskInventory.h"
#include "DiskKeeper.h"
#include "DiskRules.h"
#include "DiskSession.h"
#include "DiskSize.h"
#include "DiskUsageText.h"
#include "KeepState.h"
#include "Localization.h"
#include "Paths.h"
#include "RememberedDisks.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace DiskCommands {

namespace {

const QString programName = QStringLiteral("vellumarctl");

int tell(QTextStream &stream, const QString &message, int status)
{
    stream << programName << ": " << message << Qt::endl;
    return status;
}

QString text(const char *key)
{
    return localizedStringForKey(QLatin1String(key));
}

// Bad input, or (privilege) a user who cannot make disks at all.
int refuse(QTextStream &err, const Refusal &refusal)
{
    return tell(err, refusal.sentence, refusal.rule == DiskRule::Privilege ? 1 : 2);
}

// Prints each phase as it ends, one line each: a success on standard output, a failure (only
// the first: later steps then did not run) on standard error.
void printPhases(DiskSession &session, QTextStream &out, QTextStream &err)
{
    auto failed = std::make_shared<bool>(false);
    QObject::connect(
        &session, &DiskSession::phaseReported, &session,
        [&out, &err, failed](Phase phase, PhaseStatus status, const QString &result) {
            static const char *const names[] = {"allocate", "build", "mount", "finalize", "load"};
            const int index = int(phase);
            const QString name =
                index >= 0 && index < 5 ? QLatin1String(names[index]) : QString::number(index);
            QString words = result;
            words.replace(QLatin1Char('\n'), QLatin1Char(' '));
            if (status == PhaseStatus::Done) {
                out << (name + QStringLiteral(" ok ") + words).trimmed() << Qt::endl;
            } else if (status == PhaseStatus::NotDone) {
                out << (name + QStringLiteral(" skipped: ") + words).trimmed() << Qt::endl;
            } else if (!*failed) {
                *failed = true;
                tell(err, (name + QStringLiteral(" failed ") + words).trimmed(), 1);
            }
        });
}

// Makes one disk as asked, loads its kept folder and prints its mount path.
int createOne(const DiskRequest &request, QTextStream &out, QTextStream &err)
{
    DiskSession session;
    if (const Refusal refusal = session.checkAll(request); !refusal.ok())
        return refuse(err, refusal);
    printPhases(session, out, err);
    if (!session.create()) {
        const EjectOutcome undone = session.ejectBlocking(true);
        if (undone.teardown.finished)
            return tell(err, text("CtlCreateFailed"), 1);
        return tell(err, text("CtlCleanupFailed").arg(undone.teardown.userText), 1);
    }
    const QString mountPath = session.plan().mountPath;
    if (!session.plan().keptFolder.isEmpty()) {
        QString loadFailure;
        QObject::connect(&session, &DiskSession::loaded, &session,
                         [&loadFailure](const KeepResult &result) {
                             loadFailure = result.succeeded ? QString() : result.message;
                         });
        if (!session.waitForLoad()) {
            tell(err, loadFailure, 1);
            if (!session.isActive())
                return tell(err, text("KeepLoadUndone"), 1);
            return tell(err, text("KeepLoadNotUndone").arg(mountPath), 1);
        }
        out << "load ok " << session.plan().keptFolder << Qt::endl;
    }
    out << mountPath << Qt::endl;
    return 0;
}

QString absoluteFolder(const QString &typed)
{
    return QDir::cleanPath(QDir::current().absoluteFilePath(Paths::expandTilde(typed)));
}

int createRemembered(QTextStream &out, QTextStream &err)
{
    int worst = 0;
    for (const RememberedDisk &disk : RememberedDisks::list()) {
        if (!DiskInventory::find(disk.mountPath).device.isEmpty()) {
            out << text("KeepAlreadyThere").arg(disk.mountPath) << Qt::endl;
            continue;
        }
        DiskRequest request;
        request.size = disk.size;
        request.name = disk.name;
        request.mountPath = disk.mountPath;
        DiskKinds::parse(disk.kind, request.kind); // an unknown word leaves the default
        request.keptFolder = disk.keptFolder;
        worst = std::max(worst, createOne(request, out, err));
    }
    return worst;
}

// What the helper's list says the disk holds in memory.
DiskMemoryUse memoryUse(const DiskInfo &disk)
{
    return DiskMemoryUse::listed(disk.memoryUsedKiB, disk.compressionRatio);
}

// One line a disk under a header, sizes for people; the mount path last, as it may hold spaces.
// A kept disk's folder and last save on a line below it.
void printTable(const QList<DiskInfo> &disks, QTextStream &out)
{
    QList<QStringList> rows = {text("CtlListHeader").split(QLatin1Char('|'))};
    QList<QString> below = {QString()};
    for (const DiskInfo &disk : disks) {
        rows.append({disk.device, DiskSize::describe(disk.sizeKiB),
                     DiskSize::describe(disk.usedKiB), DiskUsageText::heldCell(memoryUse(disk)),
                     DiskKinds::name(disk.kind), disk.name,
                     disk.mountPath.isEmpty() ? QStringLiteral("-") : disk.mountPath});
        const std::optional<KeepState> state =
            disk.mountPath.isEmpty() ? std::nullopt : KeepState::forDisk(disk.mountPath);
        below.append(!state ? QString()
                            : text("KeepListLine")
                                  .arg(state->keptFolder(),
                                       state->lastSave().isValid()
                                           ? state->lastSave().toLocalTime().toString(Qt::ISODate)
                                           : text("KeepNeverSaved")));
    }
    QList<qsizetype> widths(rows.first().size(), 0);
    for (const QStringList &row : rows)
        for (qsizetype column = 0; column < row.size() && column < widths.size(); ++column)
            widths[column] = std::max(widths[column], row.at(column).size());
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const QStringList &row = rows.at(i);
        QString line;
        for (qsizetype column = 0; column < row.size(); ++column) {
            const bool last = column + 1 == row.size();
            line += last ? row.at(column) : row.at(column).leftJustified(widths.value(column) + 2);
        }
        out << line << Qt::endl;
        if (!below.at(i).isEmpty())
            out << below.at(i) << Qt::endl;
    }
}

QJsonObject jsonOf(const DiskInfo &disk)
{
    QJsonObject object{{QStringLiteral("device"), disk.device},
                       {QStringLiteral("mountPath"), disk.mountPath},
                       {QStringLiteral("sizeKiB"), disk.sizeKiB},
                       {QStringLiteral("usedKiB"), disk.usedKiB},
                       {QStringLiteral("sizeBytes"), disk.sizeKiB * 1024},
                       {QStringLiteral("usedBytes"), disk.usedKiB * 1024},
                       {QStringLiteral("name"), disk.name},
                       {QStringLiteral("kind"), DiskKinds::name(disk.kind)}};
    const DiskMemoryUse use = memoryUse(disk);
    object.insert(QStringLiteral("memoryUsed"),
                  use.heldKnown() ? QJsonValue(use.heldKiB * 1024) : QJsonValue());
    if (disk.kind == DiskKind::Compressed)
        object.insert(QStringLiteral("compressionRatio"),
                      disk.compressionRatio > 0 ? QJsonValue(disk.compressionRatio) : QJsonValue());
    const std::optional<KeepState> state =
        disk.mountPath.isEmpty() ? std::nullopt : KeepState::forDisk(disk.mountPath);
    object.insert(QStringLiteral("keptFolder"),
                  state ? QJsonValue(state->keptFolder()) : QJsonValue());
    object.insert(QStringLiteral("lastSave"),
                  state && state->lastSave().isValid()
                      ? QJsonValue(state->lastSave().toUTC().toString(Qt::ISODate))
                      : QJsonValue());
    return object;
}

int unknownArgument(QTextStream &err, const QString &argument)
{
    return tell(err, text("CtlUnknownArgument").arg(argument), 2);
}

} // namespace

QString parseOptions(const QStringList &arguments, const QStringList &withValue,
                     const QStringList &flags, Options &options)
{
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (!argument.startsWith(QStringLiteral("--"))) {
            options.positional << argument;
            continue;
        }
        if (flags.contains(argument)) {
            options.flags << argument;
            continue;
        }
        const qsizetype equals = argument.indexOf(QLatin1Char('='));
        const QString name = equals < 0 ? argument : argument.left(equals);
        if (!withValue.contains(name))
            return text("CtlUnknownArgument").arg(argument);
        if (equals >= 0)
            options.values.insert(name, argument.mid(equals + 1));
        else if (i + 1 < arguments.size())
            options.values.insert(name, arguments.at(++i));
        else
            return text("CtlMissingValue").arg(name);
    }
    return QString();
}

int create(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    Options options;
    const QString problem =
        parseOptions(arguments,
                     {QStringLiteral("--size"), QStringLiteral("--name"), QStringLiteral("--mount"),
                      QStringLiteral("--keep"), QStringLiteral("--kind")},
                     {QStringLiteral("--remember"), QStringLiteral("--remembered")}, options);
    if (!problem.isEmpty())
        return tell(err, problem, 2);
    if (!options.positional.isEmpty())
        return unknownArgument(err, options.positional.first());
    if (options.has(QStringLiteral("--remembered"))) {
        // The login entry's call: the remembered disks, nothing else.
        if (options.flags.size() > 1 || !options.values.isEmpty())
            return unknownArgument(err, arguments.first() == QStringLiteral("--remembered")
                                            ? arguments.value(1)
                                            : arguments.first());
        return createRemembered(out, err);
    }
    DiskRequest request;
    request.size = options.values.value(QStringLiteral("--size"));
    request.name = options.values.value(QStringLiteral("--name"));
    request.mountPath = options.values.value(QStringLiteral("--mount"));
    request.remember = options.has(QStringLiteral("--remember"));
    if (options.values.contains(QStringLiteral("--kind"))) {
        const Refusal refusal =
            DiskRules::kind(options.values.value(QStringLiteral("--kind")), &request.kind);
        if (!refusal.ok())
            return refuse(err, refusal);
    }
    if (options.values.contains(QStringLiteral("--keep"))) {
        const QString keep = options.values.value(QStringLiteral("--keep"));
        if (keep.isEmpty())
            return tell(err, text("CtlMissingValue").arg(QStringLiteral("--keep")), 2);
        // The command line's folders may be relative to where it runs.
        request.keptFolder = absoluteFolder(keep);
    }
    return createOne(request, out, err);
}

int list(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    Options options;
    const QString problem = parseOptions(arguments, {}, {QStringLiteral("--json")}, options);
    if (!problem.isEmpty())
        return tell(err, problem, 2);
    if (!options.positional.isEmpty())
        return unknownArgument(err, options.positional.first());
    QString inventoryProblem;
    const QList<DiskInfo> disks = DiskInventory::disks(&inventoryProblem);
    if (!inventoryProblem.isEmpty())
        return tell(err, inventoryProblem, 1);
    if (options.has(QStringLiteral("--json"))) {
        QJsonArray array;
        for (const DiskInfo &disk : disks)
            array.append(jsonOf(disk));
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
    const QString problem = parseOptions(arguments, {}, {QStringLiteral("--force")}, options);
    if (!problem.isEmpty())
        return tell(err, problem, 2);
    if (options.positional.size() != 1)
        return tell(err, text("CtlEjectNeedsPath"), 2);
    const QString path = Paths::expandTilde(options.positional.first());
    const std::unique_ptr<DiskSession> session = DiskSession::forMountedDisk(path);
    if (!session)
        return tell(err, text("CtlNotOurDisk").arg(path), 2);

    // A kept disk is saved first; a failed save stops the eject unless forced.
    const QString keptFolder = session->keeper() ? session->keeper()->keptFolder() : QString();
    EjectOutcome outcome = session->ejectBlocking(false);
    if (!outcome.saved) {
        tell(err, outcome.save.message, 1);
        if (!options.has(QStringLiteral("--force")))
            return tell(err, text("KeepEjectStopped"), 1);
        tell(err, text("KeepEjectForced"), 0);
        outcome = session->ejectBlocking(true);
    } else if (outcome.ranSave) {
        out << text("KeepSaved").arg(session->disk()->mountPath(), keptFolder) << Qt::endl;
    }
    if (!outcome.teardown.finished)
        return tell(err, outcome.teardown.userText, 1);
    out << outcome.teardown.detachAnswer;
    if (!outcome.teardown.detachAnswer.endsWith(QLatin1Char('\n')))
        out << Qt::endl;
    out.flush();
    return 0;
}

int sync(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    Options options;
    const QString problem = parseOptions(arguments, {}, {}, options);
    if (!problem.isEmpty())
        return tell(err, problem, 2);
    if (options.positional.size() != 1)
        return tell(err, text("KeepSyncNeedsPath"), 2);
    const QString path = options.positional.first();
    const std::unique_ptr<DiskSession> session = DiskSession::forMountedDisk(path);
    if (!session || session->plan().mountPath.isEmpty())
        return tell(err, text("CtlNotOurDisk").arg(path), 2);
    if (!session->keeper())
        return tell(err, text("KeepNotKept").arg(session->plan().mountPath), 2);
    const KeepResult saved = session->saveNow();
    if (!saved.succeeded)
        return tell(err, saved.message, 1);
    out << text("KeepSaved").arg(session->plan().mountPath, session->keeper()->keptFolder())
        << Qt::endl;
    return 0;
}

} // namespace DiskCommands
