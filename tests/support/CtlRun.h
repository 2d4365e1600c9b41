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

// Runs vellumarctl (beside the test executable) with `arguments`, two minutes at most;
// `environment` ("NAME=value") is added to the test's own.
Result run(const QStringList &arguments, const QStringList &environment = {});
// The disk mounted on `mountPath` as `vellumarctl list --json` shows it; empty when none.
QJsonObject listed(const QString &mountPath);

} // namespace CtlRun
