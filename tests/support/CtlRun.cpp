#include "CtlRun.h"

#include "ReliabilitySupport.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>

namespace CtlRun {

Result run(const QStringList &arguments, const QStringList &environment)
{
    const Reliability::Run ran = Reliability::runProgram(
        QStringLiteral("vellumarctl"), arguments, QString::fromLocal8Bit(qgetenv("HOME")), 120000);
    return {ran.exitCode, ran.out, ran.err};
}

QJsonObject listed(const QString &mountPath)
{
    const QJsonArray disks =
        QJsonDocument::fromJson(
            run({QStringLiteral("list"), QStringLiteral("--json")}).out.toUtf8())
            .array();
    for (const QJsonValue &disk : disks) {
        if (disk.toObject().value(QStringLiteral("mountPath")).toString() == mountPath)
            return disk.toObject();
    }
    return {};
}

} // namespace CtlRun
