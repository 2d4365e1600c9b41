#include "DesktopSession.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>

namespace {

constexpr int FirstDisplay = 140;
constexpr int LastDisplay = 239;

bool displayInUse(int number)
{
    return QFileInfo::exists(QStringLiteral("/tmp/.X%1-lock").arg(number)) ||
           QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(number));
}

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
    // Other test runs on this machine use displays too: take the first free one, and try the
    // next when another process takes it first.
    for (int number = FirstDisplay; number <= LastDisplay; ++number) {
        if (displayInUse(number))
            continue;
        m_display = QStringLiteral(":%1").arg(number);
        m_server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_server.setStandardOutputFile(QProcess::nullDevice());
        m_server.start(server, {m_display, QStringLiteral("-screen"), QStringLiteral("0"),
                                QStringLiteral("1280x800x24"), QStringLiteral("-nolisten"),
                                QStringLiteral("tcp"), QStringLiteral("-ac")});
        const QDeadlineTimer deadline(5000);
        while (m_server.state() != QProcess::NotRunning && !deadline.hasExpired() &&
               !QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(number)))
            QThread::msleep(50);
        if (m_server.state() != QProcess::NotRunning &&
            QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(number)))
            break;
        stop(m_server);
        m_display.clear();
    }
    if (m_display.isEmpty()) {
        *whyNot = QStringLiteral("no display server could be started (Xvfb failed on every "
                                 "display from :%1 to :%2)")
                      .arg(FirstDisplay)
                      .arg(LastDisplay);
        return false;
    }
    const QString manager = QStandardPaths::findExecutable(QStringLiteral("openbox"));
    if (!manager.isEmpty()) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DISPLAY"), m_display);
        m_windowManager.setProcessEnvironment(environment);
        m_windowManager.setStandardOutputFile(QProcess::nullDevice());
        m_windowManager.setStandardErrorFile(QProcess::nullDevice());
        m_windowManager.start(manager, {QStringLiteral("--sm-disable")});
        waitForWindowManager(5000);
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
