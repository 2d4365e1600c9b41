#include "Localization.h"
#include "VellumarCtl.h"

#include <QCoreApplication>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

// Output that did not reach its file (a full disk, a closed pipe) is a failure, said once.
int checkedOutput(int status, QTextStream &out, QTextStream &err)
{
    out.flush();
    const bool failed =
        out.status() != QTextStream::Ok || std::fflush(stdout) != 0 || std::ferror(stdout);
    if (!failed)
        return status;
    err << "vellumarctl: "
        << localizedStringForKey(QStringLiteral("CtlWriteFailed"))
               .arg(QString::fromLocal8Bit(std::strerror(errno ? errno : EIO)))
        << Qt::endl;
    return status == 0 ? 1 : status;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    Localization::install();
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList arguments = app.arguments().mid(1);
    return checkedOutput(runVellumarCtl(arguments, out, err), out, err);
}
