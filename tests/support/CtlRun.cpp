#include "CtlRun.h"

#include "ReliabilitySupport.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>

namespace CtlRun {

Result run(const QStringList &arguments, const QStringList &environment)
{
    if (environment.isEmpty()) {
        const Reliability::Run ran =
            Reliability::runProgram(QStringLiteral("vellumarctl"), arguments,
                                    QString::fromLocal8Bit(qgetenv("HOME")), 120000);
        return {ran.exitCode, ran.out, ran.err};
    }
    // Extra variables for this run (a locale, say) over the test's own environment.
    QProcess process;
    QProcessEnvironment processEnvironment = QProcessEnvironment::systemEnvironment();
    for (const QString &entry : environment)
        processEnvironment.insert(entry.section(QLatin1Char('='), 0, 0),
                                  entry.section(QLatin1Char('='), 1));
    process.setProcessEnvironment(processEnvironment);
    process.start(QCoreApplication::applicationDirPath() + QStringLiteral("/vellumarctl"),
                  arguments);
    process.waitForFinished(120000);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
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
