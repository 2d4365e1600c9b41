#pragma once

#include "KeptContents.h"
#include "Phase.h"

#include <QColor>
#include <QWidget>
#include <memory>

class DiskKeeper;
class QLabel;

namespace Ui {
class ProgressPage;
}

// The window's "BUILD" page: a disk's name and size, what it is and holds while mounted, the mark
// and result of each phase, the load of its kept folder, and what the disk keeps and when it last
// saved.
class ProgressPage : public QWidget
{
    Q_OBJECT

public:
    // Status values of a phase's mark.
    enum { StatusFailure = 0, StatusSuccess = 1, StatusPending = -1, StatusNotDone = 3 };

    explicit ProgressPage(QWidget *parent = nullptr);
    ~ProgressPage() override;

    // A new creation: the title, every mark and result cleared, the first step pending.
    void begin(const QString &name, const QString &size);
    // A disk found mounted: every step done, its device and folder shown.
    void showFound(const QString &name, const QString &size, const QString &device,
                   const QString &mountPath);
    // The end of one phase (Allocate to Finalize); other phases change nothing.
    void showPhase(Phase phase, PhaseStatus status, const QString &result);
    // The mark of the next step, once the one before is done.
    void showPending(Phase phase);
    // The line under the title that says what the mounted disk is and holds; hidden when
    // `line` is empty. True when that shows or hides the line (the page's height changes).
    bool showDiskUsage(const QString &line);
    // Whether the folder link reacts to the mouse (only a mounted disk's does).
    void setLinkActive(bool active);
    bool hasLink() const;

    void showLoadStarted();
    void showLoadProgress(int percent);
    // The load's end; a failure shows why, with the folder that stays as it was.
    void showLoadResult(const KeepResult &result, const QString &keptFolder);
    // What the disk keeps and its last save (hidden without a keeper).
    void showKeptInfo(const DiskKeeper *keeper);
    // Neither the load nor the kept line.
    void hideKept();

    static QColor statusColor(int value);
    void setStatusValue(int value, QLabel *field);
    // What the window shows for a failed phase: a sentence, then the tool's words.
    static QString failureText(int phase, const QString &result);
    // One sentence, then the copier's words and the files it could not copy.
    static QString keepFailureText(const QString &sentence, const KeepResult &result);

signals:
    void ejectRequested();

private:
    void showLoadRow(bool shown);

    std::unique_ptr<Ui::ProgressPage> m_ui;
};
