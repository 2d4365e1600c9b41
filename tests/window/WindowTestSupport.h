#pragma once

#include "CreateWindowCtrl.h"
#include "FakeTools.h"
#include "FedMemStatsSource.h"
#include "QVXAlerts.h"
#include "RamDisk.h"
#include "ToolTable.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <memory>

// A disk window on fed memory figures, its outlets found by objectName.
struct WindowUnderTest
{
    std::shared_ptr<CreateWindowCtrl> ctrl;
    FedMemStatsSource *memory = nullptr;

    WindowUnderTest()
    {
        auto fed = std::make_unique<FedMemStatsSource>();
        memory = fed.get();
        memory->total = 4096ull << 20;
        memory->counters.pageSize = 4096;
        memory->counters.freeCount = (1024ull << 20) / 4096;
        ctrl =
            std::make_shared<CreateWindowCtrl>(std::make_unique<MenuMeterMemStats>(std::move(fed)));
    }

    template <typename T = QWidget> T *outlet(const char *name) const
    {
        T *found = ctrl->createWindow()->findChild<T *>(QLatin1String(name));
        if (!found)
            qWarning("no outlet %s", name);
        return found;
    }
    QString text(const char *name) const
    {
        if (auto *label = ctrl->createWindow()->findChild<QLabel *>(QLatin1String(name)))
            return label->text();
        if (auto *edit = ctrl->createWindow()->findChild<QLineEdit *>(QLatin1String(name)))
            return edit->text();
        return QStringLiteral("<no field>");
    }
};

inline FakeTools::Behaviour printing(const QString &text)
{
    FakeTools::Behaviour behaviour;
    behaviour.standardOutput = text;
    return behaviour;
}

// Fake disk tools that all work, installed for every disk made while this lives.
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

// Clicks a button of the alert on show; fails the test when none appears.
inline bool clickAlertButton(const char *button)
{
    if (!QTest::qWaitFor([] { return QVXCurrentAlert() != nullptr; }, 3000))
        return false;
    auto *target = QVXCurrentAlert()->findChild<QPushButton *>(QLatin1String(button));
    if (!target)
        return false;
    QTest::mouseClick(target, Qt::LeftButton);
    return true;
}

inline QString alertTitle()
{
    QWidget *alert = QVXCurrentAlert();
    auto *title = alert ? alert->findChild<QLabel *>(QStringLiteral("title")) : nullptr;
    return title ? title->text() : QString();
}
