#pragma once

#include "DiskInventory.h"
#include "DiskSize.h"
#include "KeptContents.h"
#include "MachineMemory.h"
#include "MenuMeterMemStats.h"
#include "QVXExtendibleLabelledView.h"
#include "RamDisk.h"

#include <QColor>
#include <QMainWindow>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>

class QAbstractButton;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QStackedWidget;
class QTimer;
class QVXLinkTextField;
class QVXStaticProgressIndicator;
class CreateWindowCtrl;
class DiskAlerts;
class DiskKeeper;

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

// One disk window and its controller: the creation form and its checks, the creation sequence
// and its phase display, ejecting and closing, and the memory panel. The window is the
// controller; whoever makes it owns it (the application lets Qt delete a closed one).
class CreateWindowCtrl : public QMainWindow,
                         public RamDiskDelegate,
                         public QVXExtendibleLabelledViewDelegate
{
    Q_OBJECT

public:
    // Status values of a phase line.
    enum { StatusFailure = 0, StatusSuccess = 1, StatusPending = -1 };

    // The window is built at once, centred, on the "CREATE" tab with a fresh mount path and
    // the refresh timer running; it is not shown yet. Reads this machine's memory unless
    // `memoryInformation` is given.
    // A running eject holds the disk, never the window: closing the window cannot free the disk
    // under its worker.
    explicit CreateWindowCtrl(std::unique_ptr<MenuMeterMemStats> memoryInformation = nullptr);
    ~CreateWindowCtrl() override;

    // The first window: made on the first call, the same one afterwards for as long as it lives.
    // The caller owns a window it did not get before.
    static CreateWindowCtrl *sharedCreateWindowCtrl();
    // A further window; the caller owns it.
    static CreateWindowCtrl *newRamWindow();

    // Where the size checks read the machine's memory (tests feed fixed figures); an empty
    // function goes back to /proc/meminfo.
    static void setMachineMemorySource(std::function<MachineMemory()> source);
    static MachineMemory machineMemory();

    QMainWindow *createWindow() { return this; }
    CreateWindowCtrlDelegate *delegate() const { return m_delegate; }
    void setDelegate(CreateWindowCtrlDelegate *delegate) { m_delegate = delegate; }
    std::shared_ptr<RamDisk> disk() const { return m_disk; }
    QString defaultMountPath() const { return m_defaultMountPath; }
    QTimer *memoryUpdated() const { return m_memoryUpdated; }
    // True while a teardown worker of this window runs.
    bool isTearingDown() const { return m_tearingDown; }
    // Keeps the disk's contents in its folder; null when the disk keeps nothing.
    DiskKeeper *keeper() const { return m_keeper; }

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
    // Colour of a status mark: green for success, red for failure, gray while pending.
    static QColor statusColor(int value);

    // RamDiskDelegate
    void fase(int phase, bool successful, const QString &result) override;
    void setStatusValue(int value, QLabel *field);
    void errorCreatingDisk(const QString &message);
    // What the window shows for a failed phase: a sentence, then the tool's words.
    static QString failureText(int phase, const QString &result);

    // QVXExtendibleLabelledViewDelegate
    void extendibleLabelledViewWillOpen(QVXExtendibleLabelledView *view) override;
    void extendibleLabelledViewWillClose(QVXExtendibleLabelledView *view) override;

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
    // A teardown worker handed its outcome to the window.
    void teardownFinished(bool finished);
    // The kept contents were loaded onto a new disk, or failed to be.
    void keptContentsLoaded(bool succeeded);

protected:
    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void awakeFromNib();
    void layOutBlocks();
    // After the form's checks: the system's permission and the memory left, then creation.
    void confirmAndCreate(const QString &path, const QString &name, qint64 size,
                          const MachineMemory &memory);
    // Runs the four creation steps with the checked figures.
    void runCreation(const QString &path, const QString &name, quint32 blockCount);
    // Kept contents: the form's part.
    void updateDefaultKeptFolder();
    void chooseKeptFolder();
    void showKeepFields();
    // Checks off the main thread that the kept folder fits a disk of `kib`, then goes on.
    void checkKeptFolderThen(const QString &folder, qint64 kib, std::function<void()> next);
    // Kept contents: the disk's part.
    void startKeeping(const QString &mountPath, const QString &folder, bool load);
    void keptLoadFinished(const KeepResult &result);
    void keptSaveFinished(const KeepResult &result);
    void showKeptInfo();
    void showLoadRow(bool shown);
    void askEjectAnyway(const KeepResult &result);
    void showAlert(const QString &titleKey, const QString &message);
    // The sentence that says why a size reading was refused.
    QString sizeProblem(const DiskSize::Reading &reading) const;
    // "= 64 MiB" beside the size field as the user types.
    void showSizePreview();
    void destroyDiskThreadDone(const TeardownOutcome &outcome);
    void selectTab(const QString &identifier);
    // Hides the window without asking, its disk kept (the close sheet's "close").
    void closeDirectly();
    void stopMemoryTimer();

    std::unique_ptr<Ui::CreateWindow> m_ui;
    CreateWindowCtrlDelegate *m_delegate = nullptr;
    std::shared_ptr<RamDisk> m_disk;
    QString m_defaultMountPath;
    std::unique_ptr<MenuMeterMemStats> m_memoryInformation;
    QTimer *m_memoryUpdated = nullptr;
    bool m_tearingDown = false;
    bool m_mounted = false; // the latest creation's mount succeeded
    DiskKeeper *m_keeper = nullptr;
    DiskAlerts *m_alerts = nullptr;
    bool m_keptFolderIsDefault = true; // the kept folder follows the disk's name
    bool m_ejectWithoutSave = false;   // the user said "Eject anyway"
    bool m_ejectAfterSave = false;     // an eject waits for the running load or save
    QString m_creationKeptFolder;      // the creation under way keeps this folder
    qint64 m_creationKeptBytes = -1;   // what its load copies, as measured by the check
    QString m_creationSizeText;        // and is remembered with this size when set
    bool m_creationRemembered = false;
};
