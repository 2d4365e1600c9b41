#pragma once

#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <functional>

// The outcome of one load or save.
struct KeepResult
{
    bool succeeded = false;
    QStringList unsavedFiles; // files rsync named as not copied, relative to their folder
    QString message;          // what to tell the user; empty on success
};

// Copies a kept folder onto a mounted disk (load) and the disk back into the folder (save),
// with rsync run as the disk's user, never as root on someone else's folder. A save writes
// new and changed files under temporary names and renames them into place only once all are
// complete, and deletes only after that, so the folder always holds each file whole: its last
// saved copy or the new one. Asynchronous: start, then wait for finished(); the command line
// may block in waitForFinished() instead. One load or save per object at a time.
class KeptContents : public QObject
{
    Q_OBJECT

public:
    KeptContents(const QString &mountPath, const QString &keptFolder, QObject *parent = nullptr);
    ~KeptContents() override;

    QString mountPath() const { return m_mountPath; }
    QString keptFolder() const { return m_keptFolder; }

    // Why this process cannot copy the folder as its user; empty when it can.
    QString userProblem() const;

    // What a load will copy, when the caller has measured it (KeptFolder::measure): progress
    // then follows the bytes copied, and rsync need not list every file before it starts.
    void setExpectedBytes(qint64 bytes) { m_expectedBytes = bytes; }

    void startLoad();
    void startSave();
    bool isRunning() const;
    // Blocks until the running load or save ends; true when it has ended.
    bool waitForFinished(int milliseconds = -1);
    KeepResult result() const { return m_result; }
    // The running rsync's process id, 0 when none runs (tests interrupt it).
    qint64 rsyncProcessId() const;

    // Blocking forms for the command line.
    KeepResult load();
    KeepResult save();

signals:
    void progressed(int percent);
    void finished(const KeepResult &result);

private:
    struct Step
    {
        QString program;
        QStringList arguments;
    };
    enum class Kind { Load, Save };

    void start(Kind kind);
    QList<Step> preparation() const;
    Step rsyncStep(Kind kind) const;
    void runNext();
    void stepFinished(int exitCode, QProcess::ExitStatus status);
    void readProgress();
    void finish(const KeepResult &result);
    KeepResult rsyncResult(int exitCode, QProcess::ExitStatus status) const;
    KeepResult failure(const QString &reason, const QStringList &files) const;
    void recordCompleteSave() const;

    QString m_mountPath;
    QString m_keptFolder;
    Kind m_kind = Kind::Load;
    QList<Step> m_steps;
    QProcess *m_process = nullptr;
    bool m_running = false;
    bool m_rsyncRunning = false;
    qint64 m_expectedBytes = -1;
    QString m_errorOutput;
    KeepResult m_result;
};
