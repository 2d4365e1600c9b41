// One running program per user session: a later start hands over to the running one.
#include "SingleInstance.h"

#include <QFile>
#include <QFutureWatcher>
#include <QLocalServer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QtConcurrent/QtConcurrentRun>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// A later program's start, run in a thread of its own: it waits for the running program's
// answer, which this thread's event loop gives.
SingleInstance::Start startAnother(const QString &path)
{
    QFuture<SingleInstance::Start> later = QtConcurrent::run([path] {
        SingleInstance another(path);
        return another.start();
    });
    if (!QTest::qWaitFor([&later] { return later.isFinished(); },
                         SingleInstance::AnswerLimitMs * 2))
        qWarning("the later start did not end");
    return later.result();
}

// What a program killed while it listened leaves: a socket file no one listens on.
bool leaveDeadSocket(const QString &path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    qstrncpy(address.sun_path, name.constData(), sizeof(address.sun_path));
    const bool bound = ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof(address)) == 0;
    ::close(fd);
    return bound && QFile::exists(path);
}

mode_t modeOf(const QString &path)
{
    struct stat info
    {
    };
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode : 0;
}

} // namespace

class TestSingleInstance : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void laterStartsHandOverToTheRunningProgram();
    void aSocketLeftByAKilledProgramDoesNotStopTheNextOne();
    void aProgramThatDoesNotAnswerIsReported();
    void theSocketIsPrivateToTheUser();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_socket;
};

void TestSingleInstance::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QVERIFY(QFile::setPermissions(m_dir->path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                     QFileDevice::ExeOwner));
    m_socket = m_dir->filePath(QStringLiteral("vellumar.socket"));
}

void TestSingleInstance::laterStartsHandOverToTheRunningProgram()
{
    SingleInstance first(m_socket);
    QSignalSpy requests(&first, &SingleInstance::newWindowRequested);
    QCOMPARE(first.start(), SingleInstance::Start::First);
    QVERIFY(requests.isEmpty());

    // Each later start is one new window, and the running program keeps listening.
    QCOMPARE(startAnother(m_socket), SingleInstance::Start::HandedOver);
    QTRY_COMPARE(requests.size(), 1);
    QCOMPARE(startAnother(m_socket), SingleInstance::Start::HandedOver);
    QTRY_COMPARE(requests.size(), 2);
}

void TestSingleInstance::aSocketLeftByAKilledProgramDoesNotStopTheNextOne()
{
    QVERIFY(leaveDeadSocket(m_socket));
    SingleInstance next(m_socket);
    QSignalSpy requests(&next, &SingleInstance::newWindowRequested);
    QCOMPARE(next.start(), SingleInstance::Start::First);
    QCOMPARE(startAnother(m_socket), SingleInstance::Start::HandedOver);
    QTRY_COMPARE(requests.size(), 1);
}

void TestSingleInstance::aProgramThatDoesNotAnswerIsReported()
{
    // Something listens there but never says a word.
    QLocalServer mute;
    QVERIFY(mute.listen(m_socket));
    SingleInstance later(m_socket);
    QCOMPARE(later.start(), SingleInstance::Start::NoAnswer);
}

void TestSingleInstance::theSocketIsPrivateToTheUser()
{
    SingleInstance first(m_socket);
    QCOMPARE(first.start(), SingleInstance::Start::First);
    QCOMPARE(modeOf(m_socket) & 077, mode_t(0));

    // $XDG_RUNTIME_DIR serves only while it is the user's own closed folder.
    const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_dir->path()));
    QCOMPARE(SingleInstance::defaultSocketPath(), m_socket);
    QFile::setPermissions(m_dir->path(), QFile::permissions(m_dir->path()) |
                                             QFileDevice::ReadOther | QFileDevice::WriteOther |
                                             QFileDevice::ExeOther);
    const QString fallback = SingleInstance::defaultSocketPath();
    qputenv("XDG_RUNTIME_DIR", saved);
    QVERIFY2(!fallback.startsWith(m_dir->path()), qPrintable(fallback));
    QVERIFY(!fallback.isEmpty());
    QCOMPARE(modeOf(QFileInfo(fallback).path()) & 0777, mode_t(0700));

    // The fallback folder is refused when someone could look in, or when it is a link.
    const QString parent = m_dir->filePath(QStringLiteral("tmp"));
    QVERIFY(QDir().mkpath(parent));
    const QString open = SingleInstance::privateFolderIn(parent);
    QVERIFY(!open.isEmpty());
    QVERIFY(::chmod(QFile::encodeName(open).constData(), 0755) == 0);
    QCOMPARE(SingleInstance::privateFolderIn(parent), QString());
    QVERIFY(QDir(open).removeRecursively());
    QVERIFY(QFile::link(m_dir->path(), open));
    QCOMPARE(SingleInstance::privateFolderIn(parent), QString());
}

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "TestSingleInstance.moc"
