#pragma once

#include <QObject>
#include <QString>

class QLocalServer;
class QLocalSocket;

// One running program per user session. The first process listens on a local socket that only
// its user can reach; a later one connects, asks for a new disk window, waits for the answer
// and ends.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    enum class Start {
        First,      // this process listens: it is the running program
        HandedOver, // the running program took the request: this process may end
        NoAnswer,   // a program listens but did not answer in time
        Alone,      // no socket could be made: this process runs without hand-over
    };
    // How long a later process waits for the running one to take its request.
    static constexpr int AnswerLimitMs = 5000;

    explicit SingleInstance(const QString &socketPath = defaultSocketPath(),
                            QObject *parent = nullptr);
    ~SingleInstance() override;

    // $XDG_RUNTIME_DIR/vellumar.socket when that folder is the user's own and closed to others;
    // otherwise vellumar.socket in a folder of the user's own (mode 0700) in the temporary
    // folder; empty when neither exists nor can be made.
    static QString defaultSocketPath();
    // The folder for the socket when $XDG_RUNTIME_DIR will not do: made if missing, and
    // refused (empty) unless it is a real folder of this user's that no one else may enter.
    static QString privateFolderIn(const QString &parent);

    QString socketPath() const { return m_socketPath; }
    // Why this process runs Alone, for the log.
    QString problem() const { return m_problem; }

    // Hands over to the running program, or becomes it. Whatever a program that ended without
    // closing its socket left behind is removed first.
    Start start();

signals:
    // A later process asked for a new disk window.
    void newWindowRequested();

private:
    enum class HandOver { NoProgram, Taken, NoAnswer };
    HandOver handOver();
    bool listen();
    void serve(QLocalSocket *socket);

    QString m_socketPath;
    QString m_problem;
    QLocalServer *m_server = nullptr;
};
