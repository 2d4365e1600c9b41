#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

// What is remembered of one kept disk between runs: its kept folder and the time of its last
// complete save. One small file per disk, named after its mount folder, under
// $XDG_STATE_HOME/vellumar/disks/ of the disk's user.
class KeepState
{
public:
    KeepState(const QString &mountPath, const QString &keptFolder);

    // The state stored for the disk mounted on `mountPath`, if it keeps its contents.
    static std::optional<KeepState> forDisk(const QString &mountPath);
    // Forgets the disk (after its eject).
    static void forget(const QString &mountPath);
    // Every disk recorded as keeping its contents (mounted now or not: the caller asks).
    static QList<KeepState> all();

    QString mountPath() const { return m_mountPath; }
    QString keptFolder() const { return m_keptFolder; }
    // The disk's name, as given when it was made (empty in records older than the name).
    QString diskName() const { return m_diskName; }
    void setDiskName(const QString &name) { m_diskName = name; }
    QDateTime lastSave() const { return m_lastSave; } // invalid until the first complete save
    void setLastSave(const QDateTime &time) { m_lastSave = time; }
    // Writes the file whole or not at all.
    bool store() const;

    // A save of `keptFolder` is running; left set when it never ended, so the next save or
    // load knows to clear what it left behind.
    static void markSaving(const QString &keptFolder, bool saving);
    static bool wasInterrupted(const QString &keptFolder);

    static QString folder();

private:
    static QString fileFor(const QString &kind, const QString &path);

    QString m_mountPath;
    QString m_keptFolder;
    QString m_diskName;
    QDateTime m_lastSave;
};
