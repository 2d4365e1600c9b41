#include "SingleInstance.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QTimer>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString SocketName = QStringLiteral("vellumar.socket");
const QByteArray Request = QByteArrayLiteral("new-window\n");
const QByteArray Answer = QByteArrayLiteral("ok\n");

// A real folder (not a link) of this user's that no one else may enter or change.
bool isPrivateFolder(const QString &path)
{
    struct stat info
    {
    };
    if (path.isEmpty() || !QDir::isAbsolutePath(path) ||
        ::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return false;
    return S_ISDIR(info.st_mode) && info.st_uid == ::geteuid() && (info.st_mode & 077) == 0;
}

} // namespace

SingleInstance::SingleInstance(const QString &socketPath, QObject *parent)
    : QObject(parent), m_socketPath(socketPath)
{
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::defaultSocketPath()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (isPrivateFolder(runtime))
        return runtime + QLatin1Char('/') + SocketName;
    const QString folder = privateFolderIn(QDir::tempPath());
    return folder.isEmpty() ? QString() : folder + QLatin1Char('/') + SocketName;
}

QString SingleInstance::privateFolderIn(const QString &parent)
{
    const QString folder = parent + QStringLiteral("/vellumar-") + QString::number(::geteuid());
    // Made closed; one that was there already is taken only when it is closed and ours.
    ::mkdir(QFile::encodeName(folder).constData(), 0700);
    return isPrivateFolder(folder) ? folder : QString();
}

SingleInstance::Start SingleInstance::start()
{
    if (m_socketPath.isEmpty()) {
        m_problem = QStringLiteral("no private folder for the program's socket");
        return Start::Alone;
    }
    // Two programs started at once: the lock lets one of them listen before the other looks.
    QLockFile lock(m_socketPath + QStringLiteral(".lock"));
    const bool locked = lock.tryLock(AnswerLimitMs);
    switch (handOver()) {
    case HandOver::Taken:
        return Start::HandedOver;
    case HandOver::NoAnswer:
        return Start::NoAnswer;
    case HandOver::NoProgram:
        break;
    }
    if (!locked) {
        m_problem = QStringLiteral("the lock %1 is held by a program that does not listen")
                        .arg(lock.fileName());
        return Start::Alone;
    }
    return listen() ? Start::First : Start::Alone;
}

SingleInstance::HandOver SingleInstance::handOver()
{
    QLocalSocket socket;
    socket.connectToServer(m_socketPath);
    // Nothing there, or a socket left by a program that ended: no one to hand over to.
    if (!socket.waitForConnected(AnswerLimitMs))
        return HandOver::NoProgram;
    socket.write(Request);
    QElapsedTimer elapsed;
    elapsed.start();
    while (!socket.canReadLine() && elapsed.elapsed() < AnswerLimitMs) {
        if (!socket.waitForReadyRead(int(AnswerLimitMs - elapsed.elapsed())))
            break;
    }
    return socket.canReadLine() && socket.readLine() == Answer ? HandOver::Taken
                                                               : HandOver::NoAnswer;
}

bool SingleInstance::listen()
{
    QLocalServer::removeServer(m_socketPath);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_socketPath)) {
        m_problem =
            QStringLiteral("cannot listen on %1: %2").arg(m_socketPath, m_server->errorString());
        delete m_server;
        m_server = nullptr;
        return false;
    }
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = m_server->nextPendingConnection())
            serve(socket);
    });
    return true;
}

void SingleInstance::serve(QLocalSocket *socket)
{
    // A caller that never says anything is not kept waiting for.
    QTimer::singleShot(AnswerLimitMs, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    const auto readRequest = [this, socket] {
        if (!socket->canReadLine())
            return;
        if (socket->readLine() == Request) {
            // Answered first: the caller ends while the window opens.
            socket->write(Answer);
            socket->flush();
            emit newWindowRequested();
        }
        socket->disconnectFromServer();
    };
    connect(socket, &QLocalSocket::readyRead, this, readRequest);
    readRequest();
}
