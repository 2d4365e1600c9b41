#include "DiskRules.h"

#include "KeepState.h"
#include "KeptContents.h"
#include "KeptFolder.h"
#include "Localization.h"
#include "MediaLocation.h"
#include "MountPathPolicy.h"
#include "Paths.h"
#include "RamDisk.h"
#include "RememberedDisks.h"
#include "SystemDisks.h"

#include <QDir>
#include <QFileInfo>

namespace {

Refusal refuse(DiskRule rule, const QString &sentence)
{
    return {rule, sentence, DiskSize::Problem::None};
}

QString sentence(const char *key)
{
    return localizedStringForKey(QLatin1String(key));
}

// The path as the file system names it, where it exists; cleaned otherwise.
QString resolved(const QString &path)
{
    const QString cleaned = QDir::cleanPath(path);
    const QString canonical = QFileInfo(cleaned).canonicalFilePath();
    return canonical.isEmpty() ? cleaned : canonical;
}

// The same folder, or one inside the other: a save of either deletes what the other holds.
bool overlap(const QString &one, const QString &other)
{
    const QString a = resolved(one);
    const QString b = resolved(other);
    const auto under = [](const QString &inner, const QString &outer) {
        return inner.startsWith(outer == QStringLiteral("/") ? outer : outer + QLatin1Char('/'));
    };
    return a == b || under(a, b) || under(b, a);
}

QString expanded(const QString &folder)
{
    return QDir::cleanPath(Paths::expandTilde(folder.trimmed()));
}

} // namespace

namespace DiskRules {

QString defaultName()
{
    return QStringLiteral("Ram Disk");
}

Refusal size(const QString &text, const MachineMemory &memory, qint64 *kib)
{
    const DiskSize::Reading reading = DiskSize::read(text, memory.totalKiB);
    Refusal refusal{DiskRule::Size, QString(), reading.problem};
    switch (reading.problem) {
    case DiskSize::Problem::None:
        if (kib)
            *kib = reading.kib;
        return {};
    case DiskSize::Problem::NotASize:
        refusal.sentence = text.trimmed().isEmpty()
                               ? sentence("RuleSizeMissing")
                               : sentence("RuleSizeNotASize").arg(text.trimmed());
        break;
    case DiskSize::Problem::Zero:
        refusal.sentence = sentence("RuleSizeZero").arg(DiskSize::describe(DiskSize::smallestKiB));
        break;
    case DiskSize::Problem::TooSmall:
        refusal.sentence =
            sentence("RuleSizeTooSmall")
                .arg(DiskSize::describe(reading.kib), DiskSize::describe(DiskSize::smallestKiB));
        break;
    case DiskSize::Problem::TooLarge:
        refusal.sentence = sentence("RuleSizeTooLarge")
                               .arg(text.trimmed(), DiskSize::describe(DiskSize::largestKiB));
        break;
    case DiskSize::Problem::NoMemoryFigure:
        refusal.sentence = sentence("RuleSizeShareUnknown");
        break;
    }
    return refusal;
}

Refusal name(const QString &name)
{
    for (const QChar c : name)
        if (c.category() == QChar::Other_Control)
            return refuse(DiskRule::Name,
                          sentence("RuleNameControl")
                              .arg(QString(name).replace(QLatin1Char('\n'), QLatin1Char(' '))));
    return {};
}

Refusal kind(const QString &word, DiskKind *kind)
{
    DiskKind parsed = DiskKinds::defaultKind;
    if (!DiskKinds::parse(word, parsed))
        return refuse(DiskRule::Kind, sentence("RuleKindUnknown").arg(word));
    if (kind)
        *kind = parsed;
    return {};
}

Refusal mountPath(const QString &path)
{
    // The helper makes the disk's folder in the media folder itself, where no user can change it.
    if (MediaLocation::isDefault(path))
        return {};
    // Relative paths, system folders, mount points and folders holding files.
    const QString problem = mountPathProblem(path);
    if (!problem.isEmpty())
        return refuse(DiskRule::MountPath, problem);
    const QString parent = Paths::deletingLastPathComponent(QDir::cleanPath(path));
    if (!QFileInfo(parent).isDir())
        return refuse(DiskRule::MountPath, sentence("RuleMountParentMissing").arg(parent));
    return {};
}

KeptFolderUser keptFolderUser(const QString &folder, const QString &mountPath)
{
    const QString own = QDir::cleanPath(Paths::expandTilde(mountPath));
    // Mounted disks first: they save now.
    const QList<KeepState> states = KeepState::all();
    for (const KeepState &state : states) {
        if (state.mountPath() == own || !SystemDisks::isMountPoint(state.mountPath()) ||
            !overlap(state.keptFolder(), folder))
            continue;
        const QString name =
            state.diskName().isEmpty() ? QFileInfo(state.mountPath()).fileName() : state.diskName();
        return {name, state.mountPath()};
    }
    const QList<RememberedDisk> remembered = RememberedDisks::list();
    for (const RememberedDisk &disk : remembered) {
        if (disk.keptFolder.isEmpty() || QDir::cleanPath(disk.mountPath) == own ||
            !overlap(disk.keptFolder, folder))
            continue;
        return {disk.name.isEmpty() ? defaultName() : disk.name, disk.mountPath};
    }
    return {};
}

Refusal keptFolder(const QString &folder, const QString &mountPath)
{
    const QString path = expanded(folder);
    if (folder.trimmed().isEmpty() || !QDir::isAbsolutePath(path))
        return refuse(DiskRule::KeptFolder, sentence("RuleKeptFolderNotAbsolute").arg(folder));
    const KeptFolderUser user = keptFolderUser(path, mountPath);
    if (!user.mountPath.isEmpty())
        return refuse(DiskRule::KeptFolder,
                      sentence("RuleKeptFolderInUse").arg(path, user.name, user.mountPath));
    return {};
}

Refusal keptContents(const QString &folder, qint64 kib, qint64 *bytes)
{
    const QString path = expanded(folder);
    QString problem = KeptFolder::sizeProblem(path, kib);
    if (problem.isEmpty())
        problem = KeptContents(QString(), path).userProblem();
    if (!problem.isEmpty())
        return refuse(DiskRule::KeptFolder, problem);
    if (bytes)
        *bytes = KeptFolder::measure(path).kib * 1024;
    return {};
}

Refusal memory(qint64 kib, const MachineMemory &memory)
{
    if (memory.availableKiB < 0 || memory.totalKiB <= 0)
        return {}; // unknown here: the helper, which reads the figures itself, decides
    const qint64 margin = std::clamp<qint64>(memory.totalKiB / 16, 64 * 1024, 512 * 1024);
    const qint64 room = std::max<qint64>(memory.availableKiB - margin, 0);
    if (kib <= room)
        return {};
    return refuse(DiskRule::Memory,
                  sentence("RuleMemory")
                      .arg(DiskSize::describe(kib), DiskSize::describe(room),
                           DiskSize::describe(memory.availableKiB), DiskSize::describe(margin)));
}

Refusal privilege()
{
    const QString problem = RamDisk::privilegeProblem();
    return problem.isEmpty() ? Refusal{} : refuse(DiskRule::Privilege, problem);
}

QString defaultKeptFolder(const QString &name, const QString &mountPath)
{
    const QString base = name.trimmed().isEmpty() ? defaultName() : name.trimmed();
    QString candidate = KeptFolder::defaultFolder(base);
    for (int number = 2; number < 1000; ++number) {
        if (keptFolderUser(candidate, mountPath).mountPath.isEmpty())
            return candidate;
        candidate = KeptFolder::defaultFolder(base + QLatin1Char(' ') + QString::number(number));
    }
    return candidate;
}

} // namespace DiskRules
