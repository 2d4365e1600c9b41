#pragma once

#include "FakeTools.h"
#include "PhaseRecorder.h"
#include "RamDisk.h"
#include "TestEnvironment.h"
#include "ToolTable.h"

#include <QList>
#include <QStringList>
#include <atomic>
#include <memory>
#include <unistd.h>

// Fake disk tool tables: the engine's fixture with a home of its own, and the window's working
// tools.

// A fake tool's behaviour: what it prints, its exit status, its complaint, its delay.
inline FakeTools::Behaviour says(const QString &output, int exitStatus = 0,
                                 const QString &standardError = QString(), int sleepSeconds = 0)
{
    FakeTools::Behaviour behaviour;
    behaviour.standardOutput = output;
    behaviour.exitStatus = exitStatus;
    behaviour.standardError = standardError;
    behaviour.sleepSeconds = sleepSeconds;
    return behaviour;
}

// One line of the helper's list answer: a disk of the caller's, attached but mounted nowhere,
// with the memory it holds and its data before compression (KiB, -1: not known).
inline QString helperListLine(const QString &device, DiskKind kind, qint64 heldKiB, qint64 dataKiB,
                              const QString &label = QStringLiteral("Disk"), qint64 sizeKiB = 65536)
{
    return QStringList{device,
                       QStringLiteral("1"),
                       QString::number(::getuid()),
                       QString::number(sizeKiB),
                       QStringLiteral("0"),
                       QStringLiteral("0"),
                       QString(),
                       QString::fromLatin1(label.toUtf8().toPercentEncoding()),
                       DiskKinds::name(kind),
                       QString::number(heldKiB),
                       QString::number(dataKiB)}
        .join(QLatin1Char('\t'));
}

// A temporary home and six fake tools with the Linux argument lists, installed for every disk
// made while the fixture lives. Tools are rewritten per test as needed; `list`, when set, is
// the tool that answers for the helper's list.
struct EngineFixture
{
    TestEnvironment env;
    FakeTools tools;
    QString allocate, format, mount, umount, detach, remove, list;
    bool volumeMounted = false; // what the teardown probes answer
    bool deviceAttached = false;
    bool memoryDisksMount = false; // memory disks mounted by their allocation, as by the helper

    EngineFixture()
    {
        allocate = tools.write(QStringLiteral("attach"), says(QStringLiteral("/dev/loop7\n")));
        format = tools.write(QStringLiteral("mkfs"), says(QString()));
        mount = tools.write(QStringLiteral("mount"), says(QString()));
        umount = tools.write(QStringLiteral("umount"), says(QString()));
        detach = tools.write(QStringLiteral("detach"),
                             says(QStringLiteral("\"/dev/loop7\" ejected.\n")));
        remove = tools.write(QStringLiteral("rmdir"), says(QString()));
        install();
    }
    ~EngineFixture() { RamDisk::setToolTable(nullptr); }

    // Installs the table again, e.g. after a launch path was changed.
    void install()
    {
        auto table = std::make_shared<ToolTable>(
            ToolTable::linuxTableWith(allocate, format, mount, umount, detach, remove));
        table->isMounted = [this](const QString &) { return volumeMounted; };
        table->isAttached = [this](const QString &) { return deviceAttached; };
        if (memoryDisksMount) {
            table->memoryDisksMountOnAllocation = true;
            table->allocate.arguments = ToolTable::allocationArguments;
        }
        if (!list.isEmpty())
            table->list = {list,
                           [](const DiskFields &) { return QStringList{QStringLiteral("list")}; }};
        RamDisk::setToolTable(table);
    }

    // The helper's list answers with these lines (helperListLine) from now on.
    void listing(const QStringList &lines)
    {
        list = tools.write(QStringLiteral("list"),
                           says(lines.join(QLatin1Char('\n')) + QLatin1Char('\n')));
        install();
    }

    // A fresh mount path inside the temporary home.
    QString mountPath(const QString &name = QStringLiteral("disk")) const { return env.path(name); }
};

inline FakeTools::Behaviour printing(const QString &text)
{
    FakeTools::Behaviour behaviour;
    behaviour.standardOutput = text;
    return behaviour;
}

// Fake disk tools that all work, installed for every disk made while this lives (the window's
// tests, which keep their own home).
struct WorkingTools
{
    FakeTools tools;
    explicit WorkingTools(const QString &detachAnswer = QStringLiteral("/dev/loop7 detached\n"),
                          bool allocatorMissing = false, bool detacherMissing = false,
                          int umountSeconds = 0)
    {
        const QString attach =
            allocatorMissing
                ? tools.missing(QStringLiteral("attach"))
                : tools.write(QStringLiteral("attach"), printing(QStringLiteral("/dev/loop7\n")));
        const QString detach = detacherMissing
                                   ? tools.missing(QStringLiteral("detach"))
                                   : tools.write(QStringLiteral("detach"), printing(detachAnswer));
        FakeTools::Behaviour slowUmount;
        slowUmount.sleepSeconds = umountSeconds;
        RamDisk::setToolTable(std::make_shared<ToolTable>(ToolTable::linuxTableWith(
            attach, tools.write(QStringLiteral("mkfs"), printing(QStringLiteral("made\n"))),
            tools.write(QStringLiteral("mount"), printing(QString())),
            tools.write(QStringLiteral("umount"), slowUmount), detach, QString())));
    }
    // Makes the volume look busy (still mounted after umount) while `busy` is set.
    explicit WorkingTools(std::shared_ptr<std::atomic<bool>> busy) : WorkingTools()
    {
        auto table = std::make_shared<ToolTable>(*RamDisk::toolTable());
        table->isMounted = [busy](const QString &) { return busy->load(); };
        RamDisk::setToolTable(table);
    }
    ~WorkingTools() { RamDisk::setToolTable(nullptr); }
    QStringList callsOf(const QString &tool) const
    {
        QStringList found;
        for (const QString &call : tools.calls())
            if (call.section(QLatin1Char('|'), 0, 0) == tool)
                found << call;
        return found;
    }
};
