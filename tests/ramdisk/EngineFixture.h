#pragma once

#include "FakeTools.h"
#include "PhaseRecorder.h"
#include "RamDisk.h"
#include "TestEnvironment.h"
#include "ToolTable.h"

#include <QList>
#include <memory>

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

// Records every phase report.
using RecordingDelegate = PhaseRecorder;

// A temporary home and six fake tools with the Linux argument lists, installed for every disk
// made while the fixture lives. Tools are rewritten per test as needed.
struct EngineFixture
{
    TestEnvironment env;
    FakeTools tools;
    QString allocate, format, mount, umount, detach, remove;
    bool volumeMounted = false; // what the teardown probes answer
    bool deviceAttached = false;

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
        RamDisk::setToolTable(table);
    }

    // A fresh mount path inside the temporary home.
    QString mountPath(const QString &name = QStringLiteral("disk")) const { return env.path(name); }
};
