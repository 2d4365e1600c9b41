#include "CreateWindowCtrl.h"
#include "ui_CreateWindow.h"

#include "DesktopNotifications.h"
#include "DiskAlerts.h"

#include "DiskKeeper.h"
#include "DiskUsageLine.h"
#include "EjectPage.h"
#include "FormPage.h"
#include "Localization.h"
#include "MemoryPanel.h"
#include "QVXAlerts.h"
#include "QVXStaticProgressIndicator.h"
#include "SystemLog.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLayout>
#include <QMenuBar>
#include <QScreen>
#include <QTimer>
#include <climits>

namespace {

constexpr int RefreshIntervalMs = 15000;
constexpr int BlockMargin = 12;
constexpr int BlockSpacing = 8;
constexpr int MinimumWindowWidth = 560;

// The first window, for as long as it lives.
QPointer<CreateWindowCtrl> &sharedSlot()
{
    static QPointer<CreateWindowCtrl> slot;
    return slot;
}

int clampToInt(qint64 value)
{
    return int(std::clamp<qint64>(value, INT_MIN, INT_MAX));
}

} // namespace

CreateWindowCtrl::CreateWindowCtrl(std::unique_ptr<MenuMeterMemStats> memoryInformation)
    : m_ui(std::make_unique<Ui::CreateWindow>()), m_session(new DiskSession(this)),
      m_memoryInformation(memoryInformation ? std::move(memoryInformation)
                                            : std::make_unique<MenuMeterMemStats>())
{
    m_ui->setupUi(this);
    menuBar(); // the application controller fills it
    connect(form(), &FormPage::createRequested, this, &CreateWindowCtrl::createDisk);
    connect(progress(), &ProgressPage::ejectRequested, this, &CreateWindowCtrl::destroyDisk);
    connect(ejectPage(), &EjectPage::retryRequested, this, &CreateWindowCtrl::destroyDisk);
    connect(ejectPage(), &EjectPage::continueRequested, this, &CreateWindowCtrl::continueToCreate);
    connectSession();

    QVXExtendibleLabelledView *disclosure = m_ui->memoryDisclosure;
    disclosure->setTriangleButton(m_ui->triangleButton);
    disclosure->setContentView(m_ui->memoryDetails);
    disclosure->setDelegate(this);
    m_ui->centralWidget->installEventFilter(this);

    m_memoryUpdated = new QTimer(this);
    m_memoryUpdated->setObjectName(QStringLiteral("memoryUpdated"));
    m_memoryUpdated->setInterval(RefreshIntervalMs);
    connect(m_memoryUpdated, &QTimer::timeout, this, &CreateWindowCtrl::updateMemory);
    // The disk's alerts are checked with the memory figures and reach the desktop.
    m_alerts = new DiskAlerts(this);
    connect(m_alerts, &DiskAlerts::raised, this, [](const QString &summary, const QString &body) {
        DesktopNotifications::shared().show(summary, body);
    });

    layOutBlocks();
    setWindowTitle(localizedStringForKey(QStringLiteral("WindowTitleNew")));
    form()->focusSize(); // a new window waits for its size
    centerWindow();
    m_ui->memoryProgressBar->stopAnimation(nullptr);
    updateMemory();
    selectTab(QStringLiteral("CREATE"));
    m_memoryUpdated->start();
    resetMountPath();
    disclosure->awakeFromNib();
}

CreateWindowCtrl::~CreateWindowCtrl() = default;

void CreateWindowCtrl::connectSession()
{
    DiskSession *session = m_session;
    connect(session, &DiskSession::refused, this, &CreateWindowCtrl::showRefusal);
    connect(session, &DiskSession::checking, form(), &FormPage::setBusy);
    connect(session, &DiskSession::creationStarted, this, &CreateWindowCtrl::creationStarted);
    connect(session, &DiskSession::phaseReported, this, &CreateWindowCtrl::phaseReported);
    connect(session, &DiskSession::loadStarted, this, [this] {
        progress()->showLoadStarted();
        layOutBlocks();
    });
    connect(session, &DiskSession::loadProgressed, progress(), &ProgressPage::showLoadProgress);
    connect(session, &DiskSession::loaded, this, &CreateWindowCtrl::loaded);
    connect(session, &DiskSession::saved, this, [this](const KeepResult &result) {
        m_alerts->saveEnded(result.succeeded, m_session->plan().keptFolder, result.message);
        progress()->showKeptInfo(keeper());
        layOutBlocks();
    });
    connect(session, &DiskSession::ejectStarted, this, &CreateWindowCtrl::ejectStarted);
    connect(session, &DiskSession::ejected, this, &CreateWindowCtrl::ejected);
}

FormPage *CreateWindowCtrl::form() const
{
    return m_ui->CREATE;
}

ProgressPage *CreateWindowCtrl::progress() const
{
    return m_ui->BUILD;
}

EjectPage *CreateWindowCtrl::ejectPage() const
{
    return m_ui->DESTROY;
}

CreateWindowCtrl *CreateWindowCtrl::sharedCreateWindowCtrl()
{
    if (!sharedSlot())
        sharedSlot() = new CreateWindowCtrl;
    return sharedSlot();
}

CreateWindowCtrl *CreateWindowCtrl::newRamWindow()
{
    return new CreateWindowCtrl;
}

void CreateWindowCtrl::setMachineMemorySource(std::function<MachineMemory()> source)
{
    DiskSession::setMachineMemorySource(std::move(source));
}

MachineMemory CreateWindowCtrl::machineMemory()
{
    return DiskSession::machineMemory();
}

QString CreateWindowCtrl::defaultMountPath() const
{
    return form()->defaultMountPath();
}

// --- layout -----------------------------------------------------------------------------------

void CreateWindowCtrl::layOutBlocks()
{
    // The blocks sit in the central widget without a layout, so the memory disclosure can grow
    // the window downward; each block gets the height it asks for.
    QWidget *blocks[] = {m_ui->mainTabView, m_ui->memoryBarRow, m_ui->memoryDisclosure,
                         m_ui->memoryDetails};
    int width = MinimumWindowWidth - 2 * BlockMargin;
    for (QWidget *block : blocks)
        width = std::max(width, block->minimumSizeHint().width());

    // As tall as the tallest tab needs at this width, wrapped results included.
    int tabHeight = 0;
    for (int i = 0; i < m_ui->mainTabView->count(); ++i) {
        QWidget *page = m_ui->mainTabView->widget(i);
        // Texts changed since the layouts last measured, nested ones included.
        const QList<QLayout *> layouts = page->findChildren<QLayout *>();
        for (QLayout *layout : layouts)
            layout->invalidate();
        tabHeight = std::max(tabHeight, page->hasHeightForWidth() ? page->heightForWidth(width)
                                                                  : page->sizeHint().height());
    }
    int y = BlockMargin;
    m_ui->mainTabView->setGeometry(BlockMargin, y, width, tabHeight);
    y += m_ui->mainTabView->height() + BlockSpacing * 2;
    m_ui->memoryBarRow->setGeometry(BlockMargin, y, width, m_ui->memoryBarRow->sizeHint().height());
    y += m_ui->memoryBarRow->height() + BlockSpacing / 2;
    m_ui->memoryDisclosure->setGeometry(BlockMargin, y, width,
                                        m_ui->memoryDisclosure->sizeHint().height());
    y += m_ui->memoryDisclosure->height();
    m_ui->memoryDetails->setGeometry(BlockMargin, y + int(distanceFromLabel), width,
                                     m_ui->memoryDetails->sizeHint().height() + BlockMargin);
    m_ui->centralWidget->setMinimumSize(width + 2 * BlockMargin, y + BlockMargin);
    adjustWindowSize();
}

void CreateWindowCtrl::adjustWindowSize()
{
    // The closed size with the menu bar, plus what an open disclosure added.
    const int open =
        m_ui->triangleButton->isChecked() ? int(m_ui->memoryDisclosure->moveOffset()) : 0;
    layout()->invalidate();
    layout()->activate();
    const QSize closed = minimumSizeHint();
    resize(closed.width(), closed.height() + open);
}

void CreateWindowCtrl::centerWindow()
{
    const QScreen *screen =
        QWidget::screen() ? QWidget::screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}

void CreateWindowCtrl::selectTab(const QString &identifier)
{
    if (QWidget *page = m_ui->mainTabView->findChild<QWidget *>(identifier))
        m_ui->mainTabView->setCurrentWidget(page);
}

QString CreateWindowCtrl::selectedTab() const
{
    return m_ui->mainTabView->currentWidget() ? m_ui->mainTabView->currentWidget()->objectName()
                                              : QString();
}

void CreateWindowCtrl::showWindow()
{
    if (!m_memoryUpdated->isActive()) {
        m_memoryUpdated->start();
        updateMemory();
    }
    show();
    raise();
    activateWindow();
}

// --- the form ---------------------------------------------------------------------------------

void CreateWindowCtrl::resetMountPath()
{
    form()->resetMountPath();
}

void CreateWindowCtrl::automaticMountPath()
{
    resetMountPath();
}

void CreateWindowCtrl::setDiskFormat()
{
    form()->setDiskFormat();
}

void CreateWindowCtrl::controlTextDidChange()
{
    form()->controlTextDidChange();
}

void CreateWindowCtrl::showAlert(const QString &titleKey, const QString &message)
{
    QVXBeginAlertSheet(localizedStringForKey(titleKey), localizedStringForKey(QStringLiteral("OK")),
                       QString(), QString(), this, {}, nullptr, message);
}

void CreateWindowCtrl::showRefusal(const Refusal &refusal)
{
    showAlert(FormPage::refusalTitle(refusal), refusal.sentence);
}

void CreateWindowCtrl::createDisk()
{
    if (m_session->isActive()) {
        // The form is not reachable while a disk is owed; a stray call must not drop it.
        SystemLog::log(QStringLiteral("CreateWindowCtrl: the previous disk is still active"));
        return;
    }
    m_session->checkThenCreate(form()->request());
}

void CreateWindowCtrl::continueToCreate()
{
    progress()->hideKept();
    selectTab(QStringLiteral("CREATE"));
    setWindowTitle(localizedStringForKey(QStringLiteral("WindowTitleNew")));
    ejectPage()->reset();
    updateMemory();
    resetMountPath();
}

// --- the phases -------------------------------------------------------------------------------

void CreateWindowCtrl::creationStarted()
{
    const DiskSession::Plan &plan = m_session->plan();
    const QString size = DiskSize::describe(plan.kib);
    m_loadFailure.clear();
    progress()->begin(plan.name, size);
    setWindowTitle(localizedStringForKey(QStringLiteral("WindowTitleDisk")).arg(plan.name, size));
    selectTab(QStringLiteral("BUILD"));
    m_ui->mainTabView->repaint();
}

void CreateWindowCtrl::phaseReported(Phase phase, PhaseStatus status, const QString &text)
{
    progress()->showPhase(phase, status, text);
    layOutBlocks();
    m_ui->mainTabView->repaint();
    if (phase == Phase::Finalize) {
        updateMemory();
        progress()->setLinkActive(true); // only a mounted volume is a link
    }
}

void CreateWindowCtrl::fase(int phase, bool successful, const QString &result)
{
    if (phase < int(Phase::Allocate) || phase > int(Phase::Finalize))
        return;
    phaseReported(Phase(phase), successful ? PhaseStatus::Done : PhaseStatus::Failed, result);
}

void CreateWindowCtrl::setStatusValue(int value, QLabel *field)
{
    progress()->setStatusValue(value, field);
}

void CreateWindowCtrl::loaded(const KeepResult &result)
{
    progress()->showLoadResult(result, m_session->plan().keptFolder);
    if (result.succeeded)
        progress()->showKeptInfo(keeper());
    else
        m_loadFailure = ProgressPage::keepFailureText(
            localizedStringForKey(QStringLiteral("KeepLoadFailedWindow"))
                .arg(m_session->plan().keptFolder),
            result);
    updateMemory(); // the loaded files are in the disk's memory now
    layOutBlocks();
    emit keptContentsLoaded(result.succeeded);
}

// --- memory -----------------------------------------------------------------------------------

void CreateWindowCtrl::updateMemory()
{
    const std::optional<QVariantMap> stats = m_memoryInformation->getMemStats();
    const qint64 total = MemoryPanel::size(stats, "total");
    const qint64 used = MemoryPanel::size(stats, "used");
    m_ui->totalMemNextBarField->setText(MemoryPanel::megabytes(total));
    m_ui->usedMemNextBarField->setText(MemoryPanel::megabytes(used));
    m_ui->memoryProgressBar->setRange(0, clampToInt(total));
    m_ui->memoryProgressBar->setValue(clampToInt(used));
    m_ui->memoryDetails->showFigures(stats);
    if (progress()->showDiskUsage(DiskUsageLine::of(*m_session)))
        layOutBlocks();
    const MachineMemory memory = DiskSession::machineMemory();
    const std::shared_ptr<RamDisk> disk = m_session->disk();
    m_alerts->check(m_session->isMounted() && disk ? disk->mountPath() : QString(),
                    disk ? disk->diskName() : QString(), memory.totalKiB, memory.availableKiB);
}

void CreateWindowCtrl::markEjectedElsewhere()
{
    // Our own eject sees the volume go as well; it reports for itself.
    if (!m_session->forgetEjectedElsewhere())
        return;
    ejectPage()->showEjectedElsewhere();
    selectTab(QStringLiteral("DESTROY"));
    layOutBlocks();
}

void CreateWindowCtrl::extendibleLabelledViewWillOpen(QVXExtendibleLabelledView *view)
{
    Q_UNUSED(view);
    updateMemory();
}

// --- eject ------------------------------------------------------------------------------------

void CreateWindowCtrl::destroyDisk()
{
    progress()->setLinkActive(false);
    m_session->eject();
}

void CreateWindowCtrl::ejectStarted()
{
    ejectPage()->showEjecting();
    selectTab(QStringLiteral("DESTROY"));
    m_ui->mainTabView->repaint();
    updateMemory();
}

void CreateWindowCtrl::ejected(const EjectOutcome &outcome)
{
    if (!outcome.saved) {
        // Nothing was unmounted: the disk stays, and the user decides.
        selectTab(QStringLiteral("BUILD"));
        progress()->setLinkActive(true);
        askEjectAnyway(outcome.save);
        return;
    }
    ejectPage()->showOutcome(outcome.teardown,
                             m_loadFailure.isEmpty()
                                 ? QString()
                                 : m_loadFailure + QLatin1Char('\n') +
                                       localizedStringForKey(QStringLiteral("KeepLoadUndone")));
    layOutBlocks();
    updateMemory();
    emit teardownFinished(outcome.teardown.finished);
}

void CreateWindowCtrl::askEjectAnyway(const KeepResult &result)
{
    QPointer<CreateWindowCtrl> self(this);
    QVXBeginAlertSheet(
        localizedStringForKey(QStringLiteral("KeepSaveFailedTitle")),
        localizedStringForKey(QStringLiteral("Cancel")),
        localizedStringForKey(QStringLiteral("EjectAnyway")), QString(), this,
        [self](QWidget *, int returnCode, void *) {
            if (!self)
                return;
            if (returnCode == QVXAlertAlternateReturn)
                self->m_session->eject(true);
            else
                self->m_session->resumeSaving();
        },
        nullptr,
        ProgressPage::keepFailureText(
            localizedStringForKey(QStringLiteral("KeepSaveFailedMessage")), result));
}

void CreateWindowCtrl::adoptMountedDisk(const DiskInfo &disk)
{
    m_session->adopt(disk);
    const DiskSession::Plan &plan = m_session->plan();
    const QString size = DiskSize::describe(plan.kib);
    progress()->showFound(plan.name, size, disk.device, disk.mountPath);
    setWindowTitle(localizedStringForKey(QStringLiteral("WindowTitleDisk")).arg(plan.name, size));
    progress()->showKeptInfo(keeper());
    selectTab(QStringLiteral("BUILD"));
    updateMemory();
    layOutBlocks();
}

// --- closing ----------------------------------------------------------------------------------

bool CreateWindowCtrl::windowShouldClose()
{
    if (m_session->isActive()) {
        QPointer<CreateWindowCtrl> self(this);
        // A disk whose creation failed holds memory but is not mounted: say so.
        const bool mounted = m_session->isMounted();
        const QString title =
            mounted ? QStringLiteral("ThisDiskIsActive") : QStringLiteral("ThisDiskIsIncomplete");
        const QString message = mounted ? QStringLiteral("YouWontEjectWithoutVellumar")
                                        : QStringLiteral("IncompleteDiskHoldsMemory");
        QVXBeginAlertSheetWithDontShowAgain(
            QStringLiteral("ThisDiskIsActive"), localizedStringForKey(title),
            localizedStringForKey(QStringLiteral("Cancel")),
            localizedStringForKey(QStringLiteral("close")),
            localizedStringForKey(QStringLiteral("ejectNow")), this,
            [self](QWidget *sheet, int returnCode, void *contextInfo) {
                if (self)
                    self->sheetDidDismissConfirmClose(sheet, returnCode, contextInfo);
            },
            nullptr, localizedStringForKey(message));
        return false;
    }
    if (m_delegate)
        m_delegate->removeDiskWindow(this);
    return true;
}

void CreateWindowCtrl::sheetDidDismissConfirmClose(QWidget *sheet, int returnCode,
                                                   void *contextInfo)
{
    Q_UNUSED(sheet);
    Q_UNUSED(contextInfo);
    if (returnCode == QVXAlertAlternateReturn)
        closeDirectly();
    else if (returnCode == QVXAlertOtherReturn)
        destroyDisk();
}

void CreateWindowCtrl::closeDirectly()
{
    // Hidden, not closed: the window keeps its disk and stays listed for ejecting at quit.
    m_memoryUpdated->stop();
    hide();
    if (m_delegate)
        m_delegate->diskWindowClosedLeavingDisk(this);
}

void CreateWindowCtrl::closeEvent(QCloseEvent *event)
{
    const bool closes =
        (!m_delegate || m_delegate->diskWindowMayClose(this)) && windowShouldClose();
    if (closes) {
        m_memoryUpdated->stop();
        event->accept();
    } else {
        event->ignore();
    }
}

bool CreateWindowCtrl::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        updateMemory();
    return QMainWindow::event(event);
}

bool CreateWindowCtrl::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_ui->centralWidget && event->type() == QEvent::Resize) {
        // Blocks follow the window's width; their heights and places stay.
        const int width = m_ui->centralWidget->width() - 2 * BlockMargin;
        for (QWidget *block : {static_cast<QWidget *>(m_ui->mainTabView), m_ui->memoryBarRow,
                               static_cast<QWidget *>(m_ui->memoryDisclosure),
                               static_cast<QWidget *>(m_ui->memoryDetails)})
            block->resize(width, block->height());
    }
    return QMainWindow::eventFilter(watched, event);
}
