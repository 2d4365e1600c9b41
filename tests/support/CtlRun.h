#pragma once

#include <QJsonObject>
#include <QString>
#include <QStringList>

// vellumarctl from the build, run as the test's own user.
namespace CtlRun {

struct Result
{
    int status;
    QString out;
    QString err;
};

// Runs vellumarctl (beside the test executable) with `arguments`, two minutes at most.
Result run(const QStringList &arguments);
// The disk mounted on `mountPath` as `vellumarctl list --json` shows it; empty when none.
QJsonObject listed(const QString &mountPath);

} // namespace CtlRun
