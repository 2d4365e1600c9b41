#include "DesktopSession.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>

namespace {

void stop(QProcess &process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(3000)) {
        process.kill();
        process.waitForFinished(3000);
    }
}

} // namespace

DesktopSession::~DesktopSession()
{
    stop(m_windowManager);
    stop(m_server);
}

bool DesktopSession::start(QString *whyNot)
{
    const QString server = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (server.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty()) {
        *whyNot = QStringLiteral("no display server: Xvfb or xdotool is not installed "
                                 "(make deps installs them)");
        return false;
    }
    // Other test runs on this machine use displays too: the server itself picks a free one
    // (from :100 up) and says which on its standard output.
    m_server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_server.start(server,
                   {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                    QStringLiteral("0"), QStringLiteral("1280x800x24"), QStringLiteral("-nolisten"),
                    QStringLiteral("tcp"), QStringLiteral("-ac")});
    const QDeadlineTimer deadline(10000);
    QByteArray said;
    while (!said.contains('\n') && m_server.state() != QProcess::NotRunning &&
           !deadline.hasExpired()) {
        m_server.waitForReadyRead(100);
        said += m_server.readAllStandardOutput();
    }
    bool ok = false;
    const int number = said.trimmed().toInt(&ok);
    if (!ok || m_server.state() == QProcess::NotRunning) {
        stop(m_server);
        *whyNot = QStringLiteral("no display server could be started (Xvfb said \"%1\")")
                      .arg(QString::fromLocal8Bit(said.trimmed()));
        return false;
    }
    m_display = QStringLiteral(":%1").arg(number);
    const QString manager = QStandardPaths::findExecutable(QStringLiteral("openbox"));
    if (!manager.isEmpty()) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DISPLAY"), m_display);
        m_windowManager.setProcessEnvironment(environment);
        m_windowManager.setStandardOutputFile(QProcess::nullDevice());
        m_windowManager.setStandardErrorFile(QProcess::nullDevice());
        m_windowManager.start(manager, {QStringLiteral("--sm-disable")});
        m_hasWindowManager = waitForWindowManager(10000);
    }
    return true;
}

bool DesktopSession::waitForWindowManager(int timeoutMs) const
{
    // A window manager announces itself on the root window.
    const QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        QProcess probe;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DISPLAY"), m_display);
        probe.setProcessEnvironment(environment);
        probe.start(QStringLiteral("xprop"),
                    {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")});
        probe.waitForFinished(2000);
        if (probe.readAllStandardOutput().contains("window id"))
            return true;
        QThread::msleep(50);
    }
    return false;
}

QString DesktopSession::xdotool(const QStringList &arguments, int *status) const
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), m_display);
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral("xdotool"), arguments);
    process.waitForFinished(10000);
    if (status)
        *status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

void DesktopSession::key(const QString &keys) const
{
    xdotool({QStringLiteral("key"), QStringLiteral("--clearmodifiers"), keys});
}

void DesktopSession::type(const QString &text) const
{
    xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("20"), text});
}

QString DesktopSession::activeWindowName() const
{
    int status = 0;
    const QString name =
        xdotool({QStringLiteral("getactivewindow"), QStringLiteral("getwindowname")}, &status);
    return status == 0 ? name : QString();
}

bool DesktopSession::waitForActiveWindow(const QString &prefix, int timeoutMs) const
{
    const QDeadlineTimer deadline(timeoutMs);
    do {
        if (activeWindowName().startsWith(prefix))
            return true;
        QThread::msleep(50);
    } while (!deadline.hasExpired());
    return false;
}

QStringList DesktopSession::visibleWindowNames() const
{
    const QStringList ids = xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                     QStringLiteral("--name"), QStringLiteral(".")})
                                .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QStringList names;
    for (const QString &id : ids) {
        const QString name = xdotool({QStringLiteral("getwindowname"), id});
        if (!name.isEmpty())
            names << name;
    }
    return names;
}

bool DesktopSession::screenshot(const QString &path) const
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), m_display);
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral("import"),
                  {QStringLiteral("-window"), QStringLiteral("root"), path});
    return process.waitForFinished(10000) && process.exitCode() == 0;
}
