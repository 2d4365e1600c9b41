#pragma once

#include "CreateWindowCtrl.h"
#include "QVXApp.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

class PrefrencesCtrl;

// The application's delegate: registers the default mount location, opens the first disk
// window and further ones in a cascade, keeps the window list, and guards quitting while disks
// are still active.
class MainCtrl : public QObject, public QVXAppDelegate, public CreateWindowCtrlDelegate
{
    Q_OBJECT

public:
    // Termination replies.
    enum { TerminateCancel = 0, TerminateNow = 1 };
    // Cascade offset between a window and the next, in pixels, on both axes.
    static constexpr int CascadeOffset = 32;
    // How long quitting waits for the kept disks' last saves, all together.
    static constexpr int QuitSaveLimitMs = 20000;

    MainCtrl();
    // Deletes the windows still listed (those closed over a mounted disk included).
    ~MainCtrl() override;

    // Registers {"MountPath": DefaultMountPathLocation} with the user defaults.
    static void initialize();

    // Brings the application forward and runs the framework's start-up sequence.
    void applicationDidFinishLaunching();
    void QVXAppCanStartToInitialize() override;
    void QVXAppEndedToInitialize() override;
    void QVXAppIsRunningForTheFirstTime() override;

    // The quit guard: 1 the application may quit now, 0 it stays. Asks at most once per call.
    int applicationShouldTerminate();

    // The listed windows in the order they were opened.
    QList<CreateWindowCtrl *> listOfRamDisks() const;
    CreateWindowCtrl *firstCreateWindow() const { return m_firstCreateWindow; }
    PrefrencesCtrl *preferences();
    // True once the application is ending: windows then close without asking.
    bool isQuitting() const { return m_quitting; }

    // CreateWindowCtrlDelegate
    void removeDiskWindow(CreateWindowCtrl *ctrl) override;
    bool diskWindowMayClose(CreateWindowCtrl *ctrl) override;
    void diskWindowClosedLeavingDisk(CreateWindowCtrl *ctrl) override;

    // Whether closing the last window over a mounted disk leaves the program running (in the
    // tray) instead of ending it.
    void setStaysInTray(bool stays) { m_staysInTray = stays; }

    // What ends the process once quitting is decided; QCoreApplication::exit(0) unless a unit
    // test, which must keep its own event loop, records the call instead.
    void setTerminator(std::function<void()> terminator) { m_terminator = std::move(terminator); }
    // Whether the start takes over `disk`: mounted, made by `uid`, and mounted at or below one
    // of `roots` (the home folder and the mount location). Every process of a user owns that
    // user's disks, root's test runs and other sessions' included; a disk made elsewhere is
    // left to whoever made it.
    static bool isAdoptable(const DiskInfo &disk, uint uid, const QStringList &roots);
    // The user's disks the start takes over.
    static QList<DiskInfo> adoptableDisks();
    // The folders at or below which the user's disks are taken over: home, the mount location
    // and the media folder (the default place on Linux).
    static QStringList adoptionRoots();
    // A window, shown at once, for a disk of the user's mounted while the program runs.
    void showMountedDisk(const DiskInfo &disk);
    // Where the start finds the user's disks that are still mounted; adoptableDisks() unless a
    // test narrows it further.
    void setMountedDiskSource(std::function<QList<DiskInfo>()> source)
    {
        m_mountedDisks = std::move(source);
    }

public slots:
    void newRamDisk();
    // Quit (menu, Ctrl+Q, closing the last window): asks the guard once, then ends.
    void terminate();
    // Ends as after "Quit" without asking, the disks left mounted (the session is ending).
    void quitLeavingDisks();
    void showPreferences();
    void showAbout();

private:
    // The one way out: every quit that was allowed ends here.
    void finishTermination();
    void installMenuBar(CreateWindowCtrl *ctrl);
    void adopt(CreateWindowCtrl *ctrl);
    // Places a window 32 px right of and below the last listed one.
    void cascade(CreateWindowCtrl *ctrl, CreateWindowCtrl *last);
    // A window on its "BUILD" tab for each of the user's disks still mounted.
    void adoptMountedDisks();
    CreateWindowCtrl *windowForMountedDisk(const DiskInfo &disk);
    // Saves every kept disk, waiting at most QuitSaveLimitMs in all.
    void saveKeptDisks();
    int visibleWindowCount() const;

    QPointer<CreateWindowCtrl> m_firstCreateWindow;
    QList<QPointer<CreateWindowCtrl>> m_listOfRamDisks;
    std::unique_ptr<PrefrencesCtrl> m_preferences;
    std::function<void()> m_terminator;
    std::function<QList<DiskInfo>()> m_mountedDisks;
    bool m_asking = false;
    bool m_quitting = false;
    bool m_staysInTray = false;
};
