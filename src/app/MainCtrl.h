#pragma once

#include "CreateWindowCtrl.h"
#include "QVXApp.h"

#include <QList>
#include <QObject>
#include <functional>
#include <memory>

class PrefrencesCtrl;
class QMainWindow;

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

    MainCtrl();
    ~MainCtrl() override;

    // Registers {"MountPath": DefaultMountPathLocation} with the user defaults.
    static void initialize();

    // Brings the application forward and runs the framework's start-up sequence.
    void applicationDidFinishLaunching();
    void QVXAppCanStartToInitialize() override;
    void QVXAppEndedToInitialize() override;
    void QVXAppIsRunningForTheFirstTime() override;

    // 1: the application may quit now; 0: it stays.
    int applicationShouldTerminate();

    const QList<std::shared_ptr<CreateWindowCtrl>> &listOfRamDisks() const
    {
        return m_listOfRamDisks;
    }
    std::shared_ptr<CreateWindowCtrl> firstCreateWindow() const { return m_firstCreateWindow; }
    PrefrencesCtrl *preferences();

    // CreateWindowCtrlDelegate
    void removeDiskWindow(CreateWindowCtrl *ctrl) override;
    bool diskWindowMayClose(CreateWindowCtrl *ctrl) override;

    // How the application ends once the guard lets it (tests record it instead).
    void setTerminator(std::function<void()> terminator) { m_terminator = std::move(terminator); }

public slots:
    void newRamDisk();
    // Menu Quit: asks the guard, then ends the application.
    void terminate();
    void showPreferences();
    void showAbout();

private:
    static constexpr int TeardownGraceMs = 15000;

    // Ends the application once no teardown of a listed window is still running.
    void finishTermination();
    void installMenuBar(CreateWindowCtrl *ctrl);
    void adopt(const std::shared_ptr<CreateWindowCtrl> &ctrl);
    int visibleWindowCount() const;

    std::shared_ptr<CreateWindowCtrl> m_firstCreateWindow;
    QList<std::shared_ptr<CreateWindowCtrl>> m_listOfRamDisks;
    std::unique_ptr<PrefrencesCtrl> m_preferences;
    std::function<void()> m_terminator;
};
