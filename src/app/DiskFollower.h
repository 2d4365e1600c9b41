#pragma once

#include "DiskInventory.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

class CreateWindowCtrl;
class MainCtrl;
class MountWatcher;

// Keeps the disk windows in step with the mount table. A window whose disk another program
// unmounted says so and stops counting as active; a disk of the user's that another program
// mounted (the command line, the login) gets a window of its own.
class DiskFollower : public QObject
{
    Q_OBJECT

public:
    explicit DiskFollower(MainCtrl *main, QObject *parent = nullptr);
    ~DiskFollower() override;

    // Where the user's disks are asked for when a new mount may be one of them: the helper's
    // list (one pkexec call) unless a test feeds its own. Runs off the main thread.
    void setDiskSource(std::function<QList<DiskInfo>()> source) { m_source = std::move(source); }
    MountWatcher *watcher() const { return m_watcher; }

public slots:
    // What the watcher reports; tests call them directly.
    void mountGone(const QString &mountPoint, const QString &source);
    void diskMountAppeared(const QString &mountPoint, const QString &source);

signals:
    // The mount table changed in a way that concerns disks (for the tray's menu).
    void disksChanged();

private:
    // The listed window whose active disk is mounted on `mountPoint` or from the device `source`.
    CreateWindowCtrl *windowOf(const QString &mountPoint, const QString &source) const;
    void askForDisks();
    void showNewDisks(const QList<DiskInfo> &disks);

    QPointer<MainCtrl> m_main;
    MountWatcher *m_watcher = nullptr;
    std::function<QList<DiskInfo>()> m_source;
    bool m_asking = false;   // the helper's list is being asked for
    bool m_askAgain = false; // another mount appeared meanwhile
};
