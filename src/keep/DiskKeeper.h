#pragma once

#include "KeptContents.h"

#include <QDateTime>
#include <QObject>
#include <QString>

class QTimer;

// Keeps one mounted disk's contents in its folder for its session: the load after the mount, a
// save every few minutes (Settings::saveEveryMinutes(), 0 = only on eject), and the save at quit.
// These run rsync asynchronously from the main thread; the eject's save runs in the eject's worker
// through saveBlocking(), which makes its own copier in that thread.
class DiskKeeper : public QObject
{
    Q_OBJECT

public:
    DiskKeeper(const QString &mountPath, const QString &keptFolder, QObject *parent = nullptr);

    QString mountPath() const { return m_mountPath; }
    QString keptFolder() const { return m_keptFolder; }
    // The last complete save as recorded for the disk; invalid when there was none.
    QDateTime lastSave() const;
    // The latest save failed (its words in lastFailure()): an eject asks before going on.
    bool lastSaveFailed() const { return m_failed; }
    KeepResult lastFailure() const { return m_failure; }
    // A load or save runs now.
    bool isBusy() const;
    QTimer *saveTimer() const { return m_timer; }

    void startLoad(qint64 expectedBytes);
    // Starts a save unless one runs already.
    void startSave();
    // Starts the periodic saves with the interval of the preference.
    void startSaving();
    void stopSaving();
    // At quit: waits for a running save or load, or saves once, for at most `milliseconds`.
    // True when the folder holds a complete save of the disk.
    bool saveForQuit(int milliseconds);
    // A save made elsewhere (the eject's worker) ended.
    void noteSave(const KeepResult &result);

    // Saves the disk into its folder and waits, in the calling thread.
    static KeepResult saveBlocking(const QString &mountPath, const QString &keptFolder);

signals:
    void loadProgressed(int percent);
    void loaded(const KeepResult &result);
    void saved(const KeepResult &result);

private:
    void contentsFinished(const KeepResult &result);

    QString m_mountPath;
    QString m_keptFolder;
    KeptContents *m_contents = nullptr;
    QTimer *m_timer = nullptr;
    bool m_loading = false;
    bool m_failed = false;
    KeepResult m_failure;
};
