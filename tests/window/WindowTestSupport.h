#pragma once

#include "AlertAnswers.h"
#include "CreateWindowCtrl.h"
#include "FakeToolTables.h"
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
