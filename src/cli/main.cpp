#include "Localization.h"
#include "VellumarCtl.h"

#include <QCoreApplication>
#include <cstdio>
#include <unistd.h>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    Localization::install();
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList arguments = app.arguments().mid(1);
    const QString command = arguments.value(0);
    if ((command == QStringLiteral("create") || command == QStringLiteral("eject")) &&
        geteuid() != 0) {
        err << "vellumarctl: "
            << localizedStringForKey(QStringLiteral("CtlNeedsRoot"))
                   .arg(QStringLiteral("vellumarctl ") + command)
            << Qt::endl;
        return 2;
    }
    return runVellumarCtl(arguments, out, err);
}
