#include "Localization.h"
#include "VellumarCtl.h"

#include <QCoreApplication>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    Localization::install();
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList arguments = app.arguments().mid(1);
    return runVellumarCtl(arguments, out, err);
}
