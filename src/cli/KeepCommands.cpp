#include "KeepCommands.h"

#include "DiskInventory.h"
#include "DiskSize.h"
#include "KeepState.h"
#include "KeptContents.h"
#include "KeptFolder.h"
#include "Localization.h"
#include "MachineMemory.h"
#include "Paths.h"
#include "RememberedDisks.h"
#include "VellumarCtl.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

const QString programName = QStringLiteral("vellumarctl");

// Set while the plain command runs on our behalf, so it is not taken over again.
thread_local bool runningPlainCommand = false;

int plain(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    runningPlainCommand = true;
    const int status = runVellumarCtl(arguments, out, err);
    runningPlainCommand = false;
    return status;
}

int tell(QTextStream &stream, const QString &message, int status)
{
    stream << programName << ": " << message << Qt::endl;
    return status;
}

bool takeFlag(QStringList &arguments, const QString &flag)
{
    return arguments.removeAll(flag) > 0;
}

// Removes "--name value" or "--name=value"; nullopt when absent, an empty string when the
// value is missing.
std::optional<QString> takeOption(QStringList &arguments, const QString &name)
{
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString argument = arguments.at(i);
        if (argument.startsWith(name + QLatin1Char('='))) {
            arguments.removeAt(i);
            return argument.mid(name.size() + 1);
        }
        if (argument == name) {
            arguments.removeAt(i);
            return i < arguments.size() ? arguments.takeAt(i) : QString();
        }
    }
    return std::nullopt;
}

QString optionValue(QStringList arguments, const QString &name)
{
    return takeOption(arguments, name).value_or(QString());
}

QString absoluteFolder(const QString &typed)
{
    return QDir::cleanPath(QDir::current().absoluteFilePath(Paths::expandTilde(typed)));
}

// The disk size in KiB as the plain create reads it; -1 when it cannot be read (the plain
// create then says why).
qint64 diskKiB(const QString &sizeText)
{
    const DiskSize::Reading reading = DiskSize::read(sizeText, MachineMemory::read().totalKiB);
    return reading.ok() ? reading.kib : -1;
}

// The mounted disk at `path`, or an empty mount path after telling the user.
QString mountedDisk(const QString &path, QTextStream &err)
{
    const DiskInfo disk = DiskInventory::find(Paths::expandTilde(path));
    if (disk.mountPath.isEmpty())
        tell(err, localizedStringForKey(QStringLiteral("CtlNotOurDisk")).arg(path), 2);
    return disk.mountPath;
}

int undoCreation(const QString &mountPath, QTextStream &err)
{
    QString discarded;
    QTextStream quiet(&discarded);
    KeepState::forget(mountPath);
    if (plain({QStringLiteral("eject"), mountPath}, quiet, err) == 0)
        return tell(err, localizedStringForKey(QStringLiteral("KeepLoadUndone")), 1);
    return tell(err, localizedStringForKey(QStringLiteral("KeepLoadNotUndone")).arg(mountPath), 1);
}

int createKept(QStringList arguments, const QString &keptFolder, bool remember, QTextStream &out,
               QTextStream &err)
{
    const QString sizeText = optionValue(arguments, QStringLiteral("--size"));
    const qint64 kib = diskKiB(sizeText);
    if (!keptFolder.isEmpty() && kib > 0) {
        const QString tooLarge = KeptFolder::sizeProblem(keptFolder, kib);
        if (!tooLarge.isEmpty())
            return tell(err, tooLarge, 2);
        const QString notTheirs = KeptContents(QString(), keptFolder).userProblem();
        if (!notTheirs.isEmpty())
            return tell(err, notTheirs, 2);
    }
    QString created;
    QTextStream createdOut(&created);
    const int status = plain(QStringList{QStringLiteral("create")} + arguments, createdOut, err);
    createdOut.flush();
    QStringList lines = created.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    const QString mountPath = status == 0 ? lines.takeLast() : QString();
    for (const QString &line : std::as_const(lines))
        out << line << Qt::endl;
    if (status != 0)
        return status;

    if (!keptFolder.isEmpty()) {
        KeepState(mountPath, keptFolder).store();
        KeptContents loader(mountPath, keptFolder);
        loader.setExpectedBytes(KeptFolder::measure(keptFolder).kib * 1024);
        const KeepResult loaded = loader.load();
        if (!loaded.succeeded) {
            tell(err, loaded.message, 1);
            return undoCreation(mountPath, err);
        }
        out << "load ok " << keptFolder << Qt::endl;
    }
    if (remember)
        RememberedDisks::remember(
            {sizeText, optionValue(arguments, QStringLiteral("--name")), mountPath, keptFolder});
    out << mountPath << Qt::endl;
    return 0;
}

int createRemembered(const QStringList &rest, QTextStream &out, QTextStream &err)
{
    if (!rest.isEmpty())
        return tell(
            err, localizedStringForKey(QStringLiteral("CtlUnknownArgument")).arg(rest.first()), 2);
    int worst = 0;
    for (const RememberedDisk &disk : RememberedDisks::list()) {
        if (!DiskInventory::find(disk.mountPath).device.isEmpty()) {
            out << localizedStringForKey(QStringLiteral("KeepAlreadyThere")).arg(disk.mountPath)
                << Qt::endl;
            continue;
        }
        const QStringList arguments{QStringLiteral("--size"),  disk.size,
                                    QStringLiteral("--name"),  disk.name,
                                    QStringLiteral("--mount"), disk.mountPath};
        worst = std::max(worst, createKept(arguments, disk.keptFolder, false, out, err));
    }
    return worst;
}

int create(QStringList rest, QTextStream &out, QTextStream &err)
{
    if (takeFlag(rest, QStringLiteral("--remembered")))
        return createRemembered(rest, out, err);
    const std::optional<QString> keep = takeOption(rest, QStringLiteral("--keep"));
    if (keep && keep->isEmpty())
        return tell(
            err,
            localizedStringForKey(QStringLiteral("CtlMissingValue")).arg(QStringLiteral("--keep")),
            2);
    const bool remember = takeFlag(rest, QStringLiteral("--remember"));
    if (remember && optionValue(rest, QStringLiteral("--size")).isEmpty())
        return plain(QStringList{QStringLiteral("create")} + rest, out, err);
    return createKept(rest, keep ? absoluteFolder(*keep) : QString(), remember, out, err);
}

int save(const QString &mountPath, const KeepState &state, QTextStream &out, QTextStream &err)
{
    const KeepResult saved = KeptContents(mountPath, state.keptFolder()).save();
    if (!saved.succeeded)
        return tell(err, saved.message, 1);
    out << localizedStringForKey(QStringLiteral("KeepSaved")).arg(mountPath, state.keptFolder())
        << Qt::endl;
    return 0;
}

int sync(const QStringList &rest, QTextStream &out, QTextStream &err)
{
    if (rest.size() != 1)
        return tell(err, localizedStringForKey(QStringLiteral("KeepSyncNeedsPath")), 2);
    const QString mountPath = mountedDisk(rest.first(), err);
    if (mountPath.isEmpty())
        return 2;
    const std::optional<KeepState> state = KeepState::forDisk(mountPath);
    if (!state)
        return tell(err, localizedStringForKey(QStringLiteral("KeepNotKept")).arg(mountPath), 2);
    return save(mountPath, *state, out, err);
}

std::optional<int> eject(QStringList rest, QTextStream &out, QTextStream &err)
{
    const bool force = takeFlag(rest, QStringLiteral("--force"));
    const QString path = rest.value(0);
    const DiskInfo disk = DiskInventory::find(Paths::expandTilde(path));
    const std::optional<KeepState> state =
        disk.mountPath.isEmpty() ? std::nullopt : KeepState::forDisk(disk.mountPath);
    if (!state)
        return force ? std::optional<int>(
                           plain(QStringList{QStringLiteral("eject")} + rest, out, err))
                     : std::nullopt;
    if (save(disk.mountPath, *state, out, err) != 0) {
        if (!force)
            return tell(err, localizedStringForKey(QStringLiteral("KeepEjectStopped")), 1);
        tell(err, localizedStringForKey(QStringLiteral("KeepEjectForced")), 0);
    }
    const int status = plain(QStringList{QStringLiteral("eject")} + rest, out, err);
    if (status == 0)
        KeepState::forget(disk.mountPath);
    return status;
}

QJsonValue lastSaveValue(const KeepState &state)
{
    return state.lastSave().isValid() ? QJsonValue(state.lastSave().toUTC().toString(Qt::ISODate))
                                      : QJsonValue();
}

QString withKeptColumns(const QString &listed, bool json)
{
    if (json) {
        QJsonArray disks = QJsonDocument::fromJson(listed.toUtf8()).array();
        for (QJsonValueRef entry : disks) {
            QJsonObject disk = entry.toObject();
            const std::optional<KeepState> state =
                KeepState::forDisk(disk.value(QStringLiteral("mountPath")).toString());
            disk.insert(QStringLiteral("keptFolder"),
                        state ? QJsonValue(state->keptFolder()) : QJsonValue());
            disk.insert(QStringLiteral("lastSave"), state ? lastSaveValue(*state) : QJsonValue());
            entry = disk;
        }
        return QString::fromUtf8(QJsonDocument(disks).toJson(QJsonDocument::Indented));
    }
    // The table's last column is the mount path; it starts where the header's last title does.
    const QStringList lines = listed.split(QLatin1Char('\n'));
    const QString header = lines.value(0);
    const qsizetype pathColumn = header.lastIndexOf(QStringLiteral("  ")) + 2;
    QStringList shown;
    for (const QString &line : lines) {
        shown << line;
        if (&line == &lines.first() || pathColumn < 2 || line.size() <= pathColumn)
            continue;
        const std::optional<KeepState> state = KeepState::forDisk(line.mid(pathColumn));
        if (!state)
            continue;
        shown << localizedStringForKey(QStringLiteral("KeepListLine"))
                     .arg(state->keptFolder(),
                          state->lastSave().isValid()
                              ? state->lastSave().toLocalTime().toString(Qt::ISODate)
                              : localizedStringForKey(QStringLiteral("KeepNeverSaved")));
    }
    return shown.join(QLatin1Char('\n'));
}

int list(const QStringList &rest, QTextStream &out, QTextStream &err)
{
    QString listed;
    QTextStream listedOut(&listed);
    const int status = plain(QStringList{QStringLiteral("list")} + rest, listedOut, err);
    listedOut.flush();
    if (status != 0)
        return status;
    out << withKeptColumns(listed, rest.contains(QStringLiteral("--json")));
    out.flush();
    return 0;
}

} // namespace

std::optional<int> runKeepCommand(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    if (runningPlainCommand)
        return std::nullopt;
    const QString command = arguments.value(0);
    const QStringList rest = arguments.mid(1);
    if (command == QStringLiteral("sync"))
        return sync(rest, out, err);
    if (command == QStringLiteral("list"))
        return list(rest, out, err);
    if (command == QStringLiteral("eject"))
        return eject(rest, out, err);
    const bool ours = rest.contains(QStringLiteral("--remembered")) ||
                      rest.contains(QStringLiteral("--remember")) ||
                      std::any_of(rest.begin(), rest.end(), [](const QString &argument) {
                          return argument == QStringLiteral("--keep") ||
                                 argument.startsWith(QStringLiteral("--keep="));
                      });
    if (command == QStringLiteral("create") && ours)
        return create(rest, out, err);
    return std::nullopt;
}
