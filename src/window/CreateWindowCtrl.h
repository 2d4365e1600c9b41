#pragma once

#include "DiskInventory.h"
#include "DiskSession.h"
#include "MachineMemory.h"
#include "MenuMeterMemStats.h"
#include "ProgressPage.h"
#include "QVXExtendibleLabelledView.h"

#include <QColor>
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>

class QLabel;
class QTimer;
class CreateWindowCtrl;
class DiskAlerts;
class DiskKeeper;
class EjectPage;
class FormPage;

namespace Ui {
class CreateWindow;
}

// What the application controller hears from a disk window.
class CreateWindowCtrlDelegate
{
public:
    virtual ~CreateWindowCtrlDelegate() = default;
    // The window closed with no active disk; the controller leaves the window list.
    virtual void removeDiskWindow(CreateWindowCtrl *ctrl) { Q_UNUSED(ctrl); }
    // Asked before a window closes. Answering false keeps it open (the delegate may be ending
    // the application instead, as when the last visible window closes).
    virtual bool diskWindowMayClose(CreateWindowCtrl *ctrl)
    {
        Q_UNUSED(ctrl);
        return true;
    }
    // The close sheet's "close" hid the window; its disk stays mounted.
    virtual void diskWindowClosedLeavingDisk(CreateWindowCtrl *ctrl) { Q_UNUSED(ctrl); }
};

// One disk window: a view of one disk session. It holds the pages (the form, the phases, the
// eject) and the memory panel, shows the session's phases, refusals and outcomes, and asks
// the questions of closing and of an eject whose save failed. Whoever makes it owns it (the
// application lets Qt delete a closed one).
class CreateWindowCtrl : public QMainWindow, public QVXExtendibleLabelledViewDelegate
{
    Q_OBJECT

public:
    // Status values of a phase line.
    enum {
        StatusFailure = ProgressPage::StatusFailure,
        StatusSuccess = ProgressPage::StatusSuccess,
        StatusPending = ProgressPage::StatusPending,
        StatusNotDone = ProgressPage::StatusNotDone
    };

    // The window is built at once, centred, on the "CREATE" tab with a fresh mount path and
    // the refresh timer running; it is not shown yet. Reads this machine's memory unless
    // `memoryInformation` is given.
    explicit CreateWindowCtrl(std::unique_ptr<MenuMeterMemStats> memoryInformation = nullptr);
    ~CreateWindowCtrl() override;

    // The first window: made on the first call, the same one afterwards for as long as it lives.
    // The caller owns a window it did not get before.
    static CreateWindowCtrl *sharedCreateWindowCtrl();
    // A further window; the caller owns it.
    static CreateWindowCtrl *newRamWindow();

    // Where the size checks read the machine's memory (DiskSession's source).
    static void setMachineMemorySource(std::function<MachineMemory()> source);
    static MachineMemory machineMemory();

    QMainWindow *createWindow() { return this; }
    CreateWindowCtrlDelegate *delegate() const { return m_delegate; }
    void setDelegate(CreateWindowCtrlDelegate *delegate) { m_delegate = delegate; }
    DiskSession *session() const { return m_session; }
    std::shared_ptr<RamDisk> disk() const { return m_session->disk(); }
    QString defaultMountPath() const;
    QTimer *memoryUpdated() const { return m_memoryUpdated; }
    // True while an eject of this window runs.
    bool isTearingDown() const { return m_session->isEjecting(); }
    // Keeps the disk's contents in its folder; null when the disk keeps nothing.
    DiskKeeper *keeper() const { return m_session->keeper(); }

    // Takes over a disk of the user's that is still mounted (found at start): the window shows
    // it on the "BUILD" tab with its link, can eject it, and a kept one resumes its saving.
    void adoptMountedDisk(const DiskInfo &disk);
    // Another program unmounted the disk: the window says so, and the disk no longer counts as
    // active, so ejecting, closing and quitting treat it as gone. Ignored during our own eject.
    void markEjectedElsewhere();

    // Makes the window the active one and brings it to the front (restarts a stopped timer).
    void showWindow();
    void resetMountPath();
    // Fits the window to its blocks (call after filling the menu bar).
    void adjustWindowSize();
    void centerWindow();
    // The objectName of the page on show: "CREATE", "BUILD" or "DESTROY".
    QString selectedTab() const;
    // Colour of a status mark: green for success, red for failure, gray otherwise.
    static QColor statusColor(int value) { return ProgressPage::statusColor(value); }

    // A phase report as the disk gives it (`phase` a Phase, 0 to 3; others change nothing).
    void fase(int phase, bool successful, const QString &result);
    void setStatusValue(int value, QLabel *field);
    static QString failureText(int phase, const QString &result)
    {
        return ProgressPage::failureText(phase, result);
    }

    // QVXExtendibleLabelledViewDelegate
    void extendibleLabelledViewWillOpen(QVXExtendibleLabelledView *view) override;

    // Answers whether the window may close now; with an active disk it begins the close sheet
    // and answers false.
    bool windowShouldClose();
    void sheetDidDismissConfirmClose(QWidget *sheet, int returnCode, void *contextInfo);

public slots:
    void automaticMountPath();
    void setDiskFormat();
    void controlTextDidChange();
    void createDisk();
    void continueToCreate();
    void destroyDisk();
    void updateMemory();

signals:
    // An eject handed its outcome to the window.
    void teardownFinished(bool finished);
    // The kept contents were loaded onto a new disk, or failed to be.
    void keptContentsLoaded(bool succeeded);

protected:
    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    FormPage *form() const;
    ProgressPage *progress() const;
    EjectPage *ejectPage() const;
    void connectSession();
    void layOutBlocks();
    void showRefusal(const Refusal &refusal);
    void showAlert(const QString &titleKey, const QString &message);
    void creationStarted();
    void phaseReported(Phase phase, PhaseStatus status, const QString &text);
    void loaded(const KeepResult &result);
    void ejectStarted();
    void ejected(const EjectOutcome &outcome);
    void askEjectAnyway(const KeepResult &result);
    void selectTab(const QString &identifier);
    // Hides the window without asking, its disk kept (the close sheet's "close").
    void closeDirectly();

    std::unique_ptr<Ui::CreateWindow> m_ui;
    CreateWindowCtrlDelegate *m_delegate = nullptr;
    DiskSession *m_session = nullptr;
    std::unique_ptr<MenuMeterMemStats> m_memoryInformation;
    QTimer *m_memoryUpdated = nullptr;
    QString m_loadFailure; // why the disk went again after its load failed, for the eject page
    DiskAlerts *m_alerts = nullptr;
};
