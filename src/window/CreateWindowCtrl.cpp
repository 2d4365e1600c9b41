#include "CreateWindowCtrl.h"

#include "DiskAlerts.h"
#include "DiskKeeper.h"
#include "DiskSize.h"
#include "EjectedElsewhere.h"
#include "ui_CreateWindow.h"

#include "KeepState.h"
#include "KeptFolder.h"
#include "RememberedDisks.h"

#include "DesktopNotifications.h"
#include "Localization.h"
#include "MenuMeterMemStats.h"
#include "MountPathPolicy.h"
#include "Paths.h"
#include "QVXAlerts.h"
#include "QVXLinkTextField.h"
#include "QVXStaticProgressIndicator.h"
#include "SystemLog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QGuiApplication>
#include <QLayout>
#include <QLocale>
#include <QMainWindow>
#include <QMenuBar>
#include <QProgressBar>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <QtConcurrent/QtConcurrentRun>
#include <climits>

namespace {

const QString DefaultDiskName = QStringLiteral("Ram Disk");
constexpr int RefreshIntervalMs = 15000;
constexpr int BlockMargin = 12;
constexpr int BlockSpacing = 8;
constexpr int MinimumWindowWidth = 560;
// A block count must fit 32 bits: 2^31 KiB and more does not.

std::function<MachineMemory()> &machineMemorySource()
{
    static std::function<MachineMemory()> source;
    return source;
}

// The first window, for as long as it lives.
QPointer<CreateWindowCtrl> &sharedSlot()
{
    static QPointer<CreateWindowCtrl> slot;
    return slot;
}

// A figure of the memory panel, given in whole MiB, written as every size is.
QString megabytes(qint64 value)
{
    return DiskSize::describe(value * 1024);
}

int clampToInt(qint64 value)
{
    return int(std::clamp<qint64>(value, INT_MIN, INT_MAX));
}

// What an eject's worker did: the save before the unmount, then the teardown unless the save
// failed.
struct EjectOutcome
{
    bool saved = true;    // no save was due, or it completed
    bool ranSave = false; // `save` holds a save's result
    KeepResult save;
    TeardownOutcome teardown;
};

// One sentence, then the copier's words and the files it could not copy.
QString keepFailureText(const QString &sentence, const KeepResult &result)
{
    QStringList parts{sentence};
    if (!result.message.trimmed().isEmpty())
        parts << result.message.trimmed();
    if (!result.unsavedFiles.isEmpty())
        parts << localizedStringForKey(QStringLiteral("KeepNotSavedFiles"))
                     .arg(result.unsavedFiles.mid(0, 10).join(QStringLiteral(", ")));
    return parts.join(QLatin1Char('\n'));
}

} // namespace

CreateWindowCtrl::CreateWindowCtrl(std::unique_ptr<MenuMeterMemStats> memoryInformation)
    : m_ui(std::make_unique<Ui::CreateWindow>()),
      m_memoryInformation(memoryInformation ? std::move(memoryInformation)
                                            : std::make_unique<MenuMeterMemStats>())
{
    m_ui->setupUi(this);
    menuBar(); // the application controller fills it

    QComboBox *presets = m_ui->formatPopUpButton;
    presets->addItem(localizedStringForKey(QStringLiteral("FreeEntry")), 0);
    // Each preset reads as what it puts in the size field.
    for (int mb : {16, 32, 64, 128, 256, 512, 1024, 2048, 4096, 8192})
        presets->addItem(DiskSize::describe(qint64(mb) * 1024), mb);

    // Only the user's own edits count: the name field reports nothing, or each keystroke in it
    // would reset the name.
    connect(presets, &QComboBox::activated, this, &CreateWindowCtrl::setDiskFormat);
    connect(m_ui->diskSizeField, &QLineEdit::textEdited, this,
            &CreateWindowCtrl::controlTextDidChange);
    connect(m_ui->automaticPathButton, &QPushButton::clicked, this,
            &CreateWindowCtrl::automaticMountPath);
    connect(m_ui->createButton, &QPushButton::clicked, this, &CreateWindowCtrl::createDisk);
    for (QLineEdit *field : {m_ui->diskSizeField, m_ui->diskNameField, m_ui->pathField})
        connect(field, &QLineEdit::returnPressed, this, &CreateWindowCtrl::createDisk);
    connect(m_ui->ejectButton, &QPushButton::clicked, this, &CreateWindowCtrl::destroyDisk);
    connect(m_ui->retryEjectButton, &QPushButton::clicked, this, &CreateWindowCtrl::destroyDisk);
    connect(m_ui->continueButton, &QPushButton::clicked, this, &CreateWindowCtrl::continueToCreate);
    // Typed or set by a preset, the name moves a kept folder that is still the default.
    connect(m_ui->diskNameField, &QLineEdit::textChanged, this,
            &CreateWindowCtrl::updateDefaultKeptFolder);
    connect(m_ui->keptFolderField, &QLineEdit::textEdited, this,
            [this] { m_keptFolderIsDefault = false; });
    connect(m_ui->chooseKeptFolderButton, &QPushButton::clicked, this,
            &CreateWindowCtrl::chooseKeptFolder);
    connect(m_ui->keepCheck, &QCheckBox::toggled, this, &CreateWindowCtrl::showKeepFields);
    updateDefaultKeptFolder();
    showKeepFields();
    showLoadRow(false);
    m_ui->keptInfoField->hide();
    m_ui->keptInfoField->setWordWrap(true);
    m_ui->loadResult->setWordWrap(true);

    m_ui->retryEjectButton->hide();
    m_ui->destroyProgressBar->setRange(0, 1);
    m_ui->destroyProgressBar->setValue(0);
    // Results wrap inside the window instead of being cut off.
    for (QLabel *result : {m_ui->allocateResult, m_ui->buildResult, m_ui->destroyResult})
        result->setWordWrap(true);
    QFont title = m_ui->diskNameBuildField->font();
    title.setBold(true);
    m_ui->diskNameBuildField->setFont(title);

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
    awakeFromNib();
}

CreateWindowCtrl::~CreateWindowCtrl()
{
    if (m_disk)
        m_disk->setDelegate(nullptr);
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
    machineMemorySource() = std::move(source);
}

MachineMemory CreateWindowCtrl::machineMemory()
{
    if (machineMemorySource())
        return machineMemorySource()();
    return MachineMemory::read();
}

void CreateWindowCtrl::layOutBlocks()
{
    // The blocks sit in the central widget without a layout, so the memory disclosure can grow
    // the window downward; each block gets the height it asks for.
    QWidget *central = m_ui->centralWidget;
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
    const QSize closedSize(width + 2 * BlockMargin, y + BlockMargin);
    central->setMinimumSize(closedSize);
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

void CreateWindowCtrl::awakeFromNib()
{
    setWindowTitle(localizedStringForKey(QStringLiteral("WindowTitleNew")));
    m_ui->diskSizeField->setFocus(); // a new window waits for its size
    centerWindow();
    m_ui->memoryProgressBar->stopAnimation(nullptr);
    updateMemory();
    selectTab(QStringLiteral("CREATE"));
    m_memoryUpdated->start();
    resetMountPath();
    m_ui->memoryDisclosure->awakeFromNib();
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

void CreateWindowCtrl::resetMountPath()
{
    m_defaultMountPath = RamDisk::mountPathGenerator();
    m_ui->pathField->setText(m_defaultMountPath);
}

void CreateWindowCtrl::automaticMountPath()
{
    resetMountPath();
}

void CreateWindowCtrl::setDiskFormat()
{
    const int tag = m_ui->formatPopUpButton->currentData().toInt();
    if (tag > 0) {
        const QString size = DiskSize::describe(qint64(tag) * 1024);
        m_ui->diskSizeField->setText(size);
        m_ui->diskNameField->setText(DefaultDiskName + QLatin1Char(' ') + size);
        showSizePreview();
    } else {
        m_ui->diskNameField->setText(DefaultDiskName);
    }
}

void CreateWindowCtrl::controlTextDidChange()
{
    m_ui->formatPopUpButton->setCurrentIndex(0);
    setDiskFormat();
    showSizePreview();
}

void CreateWindowCtrl::showAlert(const QString &titleKey, const QString &message)
{
    QVXBeginAlertSheet(localizedStringForKey(titleKey), localizedStringForKey(QStringLiteral("OK")),
                       QString(), QString(), this, {}, nullptr, message);
}

QString CreateWindowCtrl::sizeProblem(const DiskSize::Reading &reading) const
{
    switch (reading.problem) {
    case DiskSize::Problem::None:
        break;
    case DiskSize::Problem::TooSmall:
        return localizedStringForKey(QStringLiteral("SizeTooSmallMessage"))
            .arg(DiskSize::describe(reading.kib), DiskSize::describe(DiskSize::smallestKiB));
    case DiskSize::Problem::TooLarge:
        return localizedStringForKey(QStringLiteral("SizeDoesNotFitMessage"))
            .arg(DiskSize::describe(DiskSize::largestKiB));
    case DiskSize::Problem::NoMemoryFigure:
        return localizedStringForKey(QStringLiteral("SizeShareUnknown"));
    case DiskSize::Problem::NotASize:
    case DiskSize::Problem::Zero:
        return localizedStringForKey(QStringLiteral("YouMustGiveCorrect"));
    }
    return QString();
}

void CreateWindowCtrl::showSizePreview()
{
    const QString text = m_ui->diskSizeField->text();
    const DiskSize::Reading reading = DiskSize::read(text, machineMemory().totalKiB);
    QString preview;
    if (reading.ok() || reading.problem == DiskSize::Problem::TooSmall)
        preview = QStringLiteral("= ") + DiskSize::describe(reading.kib);
    else if (!text.trimmed().isEmpty())
        preview = localizedStringForKey(QStringLiteral("SizePreviewInvalid"));
    m_ui->diskSizePreview->setText(preview);
}

void CreateWindowCtrl::createDisk()
{
    QString fieldPath = m_ui->pathField->text();
    QString name = m_ui->diskNameField->text();
    const MachineMemory memory = machineMemory();
    const DiskSize::Reading reading = DiskSize::read(m_ui->diskSizeField->text(), memory.totalKiB);
    if (name.isEmpty())
        name = DefaultDiskName;
    if (fieldPath.isEmpty()) {
        fieldPath = m_defaultMountPath;
        m_ui->pathField->setText(fieldPath);
    }
    const QString path = Paths::expandTilde(fieldPath);

    if (!reading.ok()) {
        const bool wrongForm = reading.problem == DiskSize::Problem::NotASize ||
                               reading.problem == DiskSize::Problem::Zero;
        showAlert(wrongForm ? QStringLiteral("PlzInsertDiskSize")
                  : reading.problem == DiskSize::Problem::TooSmall
                      ? QStringLiteral("SizeTooSmall")
                      : QStringLiteral("SizeDoesNotFit"),
                  sizeProblem(reading));
        return;
    }
    const qint64 size = reading.kib;
    if (memory.totalKiB > 0 && size > memory.totalKiB + std::max<qint64>(memory.swapKiB, 0)) {
        showAlert(
            QStringLiteral("SizeExceedsMemory"),
            localizedStringForKey(QStringLiteral("SizeExceedsMemoryMessage"))
                .arg(DiskSize::describe(size),
                     DiskSize::describe(memory.totalKiB + std::max<qint64>(memory.swapKiB, 0))));
        return;
    }
    // Relative paths, system folders, mount points and folders holding files are refused.
    const QString problem = mountPathProblem(path);
    if (!problem.isEmpty()) {
        showAlert(QStringLiteral("MountPathInvalid"), problem);
        return;
    }
    if (m_disk && m_disk->isMountedAndActive()) {
        // The form is not reachable while a disk is owed; a stray call must not drop it.
        SystemLog::log(QStringLiteral("CreateWindowCtrl: the previous disk is still active"));
        return;
    }

    m_creationKeptFolder.clear();
    m_creationSizeText = m_ui->diskSizeField->text().trimmed();
    m_creationRemembered = m_ui->rememberCheck->isChecked();
    if (!m_ui->keepCheck->isChecked()) {
        confirmAndCreate(path, name, size, memory);
        return;
    }
    const QString folder = QDir::cleanPath(Paths::expandTilde(m_ui->keptFolderField->text()));
    if (!QDir::isAbsolutePath(folder)) {
        showAlert(QStringLiteral("KeptFolderInvalid"),
                  localizedStringForKey(QStringLiteral("KeptFolderNotAbsolute")));
        return;
    }
    if (!m_ui->createButton->isEnabled())
        return; // the folder is being measured for the creation asked for already
    QPointer<CreateWindowCtrl> self(this);
    checkKeptFolderThen(folder, size, [self, folder, path, name, size, memory] {
        if (!self)
            return;
        self->m_creationKeptFolder = folder;
        self->confirmAndCreate(path, name, size, memory);
    });
}

void CreateWindowCtrl::checkKeptFolderThen(const QString &folder, qint64 kib,
                                           std::function<void()> next)
{
    // A large folder takes a while to walk: the window stays live, the button waits.
    m_ui->createButton->setEnabled(false);
    using Checked = std::pair<QString, qint64>; // why not, and the bytes the load will copy
    auto *watcher = new QFutureWatcher<Checked>(this);
    connect(watcher, &QFutureWatcher<Checked>::finished, this, [this, watcher, next] {
        const Checked checked = watcher->result();
        watcher->deleteLater();
        m_ui->createButton->setEnabled(true);
        if (!checked.first.isEmpty()) {
            showAlert(QStringLiteral("KeptFolderInvalid"), checked.first);
            return;
        }
        m_creationKeptBytes = checked.second;
        next();
    });
    watcher->setFuture(QtConcurrent::run([folder, kib] {
        QString problem = KeptFolder::sizeProblem(folder, kib);
        if (problem.isEmpty())
            problem = KeptContents(QString(), folder).userProblem();
        return Checked(problem, problem.isEmpty() ? KeptFolder::measure(folder).kib * 1024 : 0);
    }));
}

void CreateWindowCtrl::confirmAndCreate(const QString &path, const QString &name, qint64 size,
                                        const MachineMemory &memory)
{
    // Nothing is made by a user who cannot make disks: the system says why, in one sentence.
    const QString privilege = RamDisk::privilegeProblem();
    if (!privilege.isEmpty()) {
        showAlert(QStringLiteral("CannotMakeDisks"), privilege);
        return;
    }
    const quint32 blockCount = quint32(size * 2);
    if (memory.availableKiB >= 0 && size > memory.availableKiB) {
        QPointer<CreateWindowCtrl> self(this);
        QVXBeginAlertSheet(
            localizedStringForKey(QStringLiteral("SizeExceedsAvailable")),
            localizedStringForKey(QStringLiteral("Cancel")),
            localizedStringForKey(QStringLiteral("CreateAnyway")), QString(), this,
            [self, path, name, blockCount](QWidget *, int returnCode, void *) {
                if (self && returnCode == QVXAlertAlternateReturn)
                    self->runCreation(path, name, blockCount);
            },
            nullptr,
            localizedStringForKey(QStringLiteral("SizeExceedsAvailableMessage"))
                .arg(DiskSize::describe(size), DiskSize::describe(memory.availableKiB)));
        return;
    }
    runCreation(path, name, blockCount);
}

void CreateWindowCtrl::runCreation(const QString &path, const QString &name, quint32 blockCount)
{
    if (m_disk && m_disk->isMountedAndActive())
        return;
    m_ui->allocateResult->setText(QString());
    m_ui->buildResult->setText(QString());
    m_ui->mountResult->setStringValue(QString());
    m_ui->mountResult->setURL(QUrl());
    m_mounted = false;
    m_ui->diskNameBuildField->setText(name);
    const QString size = DiskSize::describe(qint64(blockCount) / 2);
    m_ui->diskSizeBuildField->setText(localizedStringForKey(QStringLiteral("BuildSize")).arg(size));
    setWindowTitle(localizedStringForKey(QStringLiteral("WindowTitleDisk")).arg(name, size));
    setStatusValue(StatusPending, m_ui->allocateState);
    m_ui->buildState->setText(QString());
    m_ui->mountState->setText(QString());
    m_ui->finalizeState->setText(QString());
    showLoadRow(false);
    m_ui->keptInfoField->hide();

    selectTab(QStringLiteral("BUILD"));
    m_ui->mainTabView->repaint();

    if (m_disk)
        m_disk->setDelegate(nullptr);
    m_disk = std::make_shared<RamDisk>(blockCount, name);
    m_disk->setDelegate(this);
    m_disk->setMountPath(path);

    if (!m_disk->allocateRAM())
        SystemLog::log(QStringLiteral("error allocateRAM"));
    setStatusValue(StatusPending, m_ui->buildState);
    if (!m_disk->createFilesystem())
        SystemLog::log(QStringLiteral("error createFilesystem"));
    setStatusValue(StatusPending, m_ui->mountState);
    const bool mounted = m_disk->mount();
    if (!mounted)
        SystemLog::log(QStringLiteral("error mount"));
    setStatusValue(StatusPending, m_ui->finalizeState);
    // Without a volume there is nothing to show: the step is not shown as done.
    if (mounted)
        m_disk->showInFinder();
    else
        setStatusValue(StatusFailure, m_ui->finalizeState);
    updateMemory();
    // Only a mounted volume is a link.
    m_ui->mountResult->setUsePointHandCursor(!m_ui->mountResult->URL().isEmpty());
    if (!m_mounted)
        return;
    // The folder the disk got: in the media folder the helper chooses it.
    const QString mountPath = m_disk->mountPath();
    if (m_creationRemembered)
        RememberedDisks::remember({m_creationSizeText, name, mountPath, m_creationKeptFolder});
    if (!m_creationKeptFolder.isEmpty())
        startKeeping(mountPath, m_creationKeptFolder, true);
}

void CreateWindowCtrl::continueToCreate()
{
    showLoadRow(false);
    m_ui->keptInfoField->hide();
    selectTab(QStringLiteral("CREATE"));
    setWindowTitle(localizedStringForKey(QStringLiteral("WindowTitleNew")));
    m_ui->destroyProgressBar->setRange(0, 1);
    m_ui->destroyProgressBar->setValue(0);
    updateMemory();
    resetMountPath();
}

QColor CreateWindowCtrl::statusColor(int value)
{
    switch (value) {
    case StatusSuccess:
        return QColor(0x1e, 0x9e, 0x2a);
    case StatusFailure:
        return QColor(0xd0, 0x1c, 0x1c);
    default:
        return QColor(0x80, 0x80, 0x80);
    }
}

void CreateWindowCtrl::setStatusValue(int value, QLabel *field)
{
    const QString key = value == StatusSuccess   ? QStringLiteral("tick")
                        : value == StatusFailure ? QStringLiteral("cross")
                                                 : QStringLiteral("dot");
    field->setText(localizedStringForKey(key));
    QPalette palette = field->palette();
    palette.setColor(QPalette::WindowText, statusColor(value));
    field->setPalette(palette);
    field->repaint();
}

QString CreateWindowCtrl::failureText(int phase, const QString &result)
{
    static const char *const sentences[] = {"AllocateFailed", "BuildFailed", "MountFailed"};
    if (phase < 0 || phase > 2)
        return result;
    // One sentence that says what failed, then the tool's own words.
    const QString sentence = localizedStringForKey(QLatin1String(sentences[phase]));
    const QString words = result.trimmed();
    return words.isEmpty() ? sentence : sentence + QLatin1Char('\n') + words;
}

void CreateWindowCtrl::fase(int phase, bool successful, const QString &result)
{
    const int status = successful ? StatusSuccess : StatusFailure;
    const QString shown = successful ? result : failureText(phase, result);
    switch (phase) {
    case 0:
        setStatusValue(status, m_ui->allocateState);
        m_ui->allocateResult->setText(shown);
        layOutBlocks();
        m_ui->allocateResult->repaint();
        break;
    case 1:
        setStatusValue(status, m_ui->buildState);
        m_ui->buildResult->setText(shown);
        layOutBlocks();
        m_ui->buildResult->repaint();
        break;
    case 2:
        // Only a mounted folder makes a link; a failure text is shown as plain text.
        m_ui->mountResult->setURL(
            successful && QDir::isAbsolutePath(result) ? QUrl::fromLocalFile(result) : QUrl());
        setStatusValue(status, m_ui->mountState);
        m_mounted = successful;
        m_ui->mountResult->setStringValue(shown);
        layOutBlocks();
        m_ui->mountResult->repaint();
        break;
    case 3:
        setStatusValue(status, m_ui->finalizeState);
        break;
    default:
        break;
    }
}

void CreateWindowCtrl::errorCreatingDisk(const QString &message)
{
    SystemLog::log(QStringLiteral("Error: %1").arg(message));
}

void CreateWindowCtrl::updateMemory()
{
    const std::optional<QVariantMap> stats = m_memoryInformation->getMemStats();
    // Sizes are truncated toward zero; a missing reading shows as 0 everywhere.
    const auto size = [&stats](const char *key) -> qint64 {
        return stats ? qint64(stats->value(QLatin1String(key)).toDouble()) : 0;
    };
    const auto count = [&stats](const char *key) -> qint64 {
        return stats ? stats->value(QLatin1String(key)).toLongLong() : 0;
    };
    const qint64 total = size("total");
    const qint64 used = size("used");
    m_ui->totalMemNextBarField->setText(megabytes(total));
    m_ui->usedMemNextBarField->setText(megabytes(used));
    m_ui->memoryProgressBar->setRange(0, clampToInt(total));
    m_ui->memoryProgressBar->setValue(clampToInt(used));
    m_ui->totalMemoryField->setText(megabytes(total));
    m_ui->usedMemoryField->setText(megabytes(used));
    m_ui->wiredMemoryField->setText(megabytes(size("wire")));
    m_ui->inactiveMemoryField->setText(megabytes(size("inactive")));
    m_ui->freeMemoryField->setText(megabytes(size("free")));
    m_ui->freePageField->setText(megabytes(size("freepage")));
    m_ui->pageinsField->setText(QString::number(count("pageins")));
    m_ui->pageoutsField->setText(QString::number(count("pageouts")));
    m_ui->hitsField->setText(QString::number(count("hits")));
    m_ui->faultsField->setText(QString::number(count("faults")));
    const MachineMemory memory = machineMemory();
    m_alerts->check(m_mounted && m_disk ? m_disk->mountPath() : QString(),
                    m_disk ? m_disk->diskName() : QString(), memory.totalKiB, memory.availableKiB);
}

void CreateWindowCtrl::extendibleLabelledViewWillOpen(QVXExtendibleLabelledView *view)
{
    Q_UNUSED(view);
    updateMemory();
}

void CreateWindowCtrl::extendibleLabelledViewWillClose(QVXExtendibleLabelledView *view)
{
    Q_UNUSED(view);
}

void CreateWindowCtrl::destroyDisk()
{
    m_ui->mountResult->setUsePointHandCursor(false);
    // One teardown at a time: a second request while the worker runs is ignored. The flag
    // lives on the main thread; tearDown() itself also refuses to run twice at once.
    if (!m_disk || !m_disk->isMountedAndActive() || m_tearingDown)
        return;
    if (m_keeper && m_keeper->isBusy()) {
        // The running load or save ends first; its end starts the eject again.
        m_ejectAfterSave = true;
        return;
    }
    m_tearingDown = true;
    m_ui->destroyResult->setText(QString());
    m_ui->destroyTitle->setText(localizedStringForKey(QStringLiteral("EjectingDisk")));
    m_ui->destroyProgressBar->setRange(0, 0); // busy
    m_ui->continueButton->hide();
    m_ui->retryEjectButton->hide();
    selectTab(QStringLiteral("DESTROY"));
    m_ui->mainTabView->repaint();
    updateMemory();

    // The task holds the disk; the watcher is the window's, so a window closed meanwhile simply
    // never hears the outcome.
    // A kept disk is saved first, in the worker; a failed save stops the eject there.
    QString keptFolder;
    if (m_keeper) {
        m_keeper->stopSaving();
        if (!m_ejectWithoutSave)
            keptFolder = m_keeper->keptFolder();
    }
    m_ejectWithoutSave = false;
    auto *watcher = new QFutureWatcher<EjectOutcome>(this);
    connect(watcher, &QFutureWatcher<EjectOutcome>::finished, this, [this, watcher] {
        const EjectOutcome outcome = watcher->result();
        watcher->deleteLater();
        if (!outcome.saved) {
            m_tearingDown = false;
            selectTab(QStringLiteral("BUILD"));
            m_ui->mountResult->setUsePointHandCursor(true);
            if (m_keeper)
                m_keeper->noteSave(outcome.save);
            askEjectAnyway(outcome.save);
            return;
        }
        if (m_keeper && outcome.ranSave)
            m_keeper->noteSave(outcome.save);
        destroyDiskThreadDone(outcome.teardown);
    });
    watcher->setFuture(QtConcurrent::run([disk = m_disk, keptFolder] {
        EjectOutcome outcome;
        if (!keptFolder.isEmpty()) {
            outcome.save = DiskKeeper::saveBlocking(disk->mountPath(), keptFolder);
            outcome.ranSave = true;
            outcome.saved = outcome.save.succeeded;
            if (!outcome.saved)
                return outcome;
        }
        outcome.teardown = disk->tearDown();
        return outcome;
    }));
}

void CreateWindowCtrl::destroyDiskThreadDone(const TeardownOutcome &outcome)
{
    m_tearingDown = false;
    if (outcome.finished && m_keeper) {
        KeepState::forget(m_keeper->mountPath());
        m_keeper->deleteLater();
        m_keeper = nullptr;
    } else if (m_keeper) {
        m_keeper->startSaving(); // the disk stays: so does its saving
    }
    if (!outcome.unmounted)
        SystemLog::log(QStringLiteral("CreateWindowCtrl: unmounting %1 failed")
                           .arg(m_disk ? m_disk->mountPath() : QString()));
    if (outcome.finished && !outcome.removed)
        SystemLog::log(QStringLiteral("error removeMountPath"));
    m_ui->destroyProgressBar->setRange(0, 1);
    m_ui->destroyProgressBar->setValue(outcome.finished ? 1 : 0);
    m_ui->destroyTitle->setText(localizedStringForKey(
        outcome.finished ? QStringLiteral("DiskEjected") : QStringLiteral("DiskNotEjected")));
    m_ui->destroyResult->setText(outcome.userText);
    layOutBlocks();
    // A disk that is still owed cannot be replaced by a new one: offer another try instead.
    m_ui->continueButton->setVisible(outcome.finished);
    m_ui->retryEjectButton->setVisible(!outcome.finished);
    emit teardownFinished(outcome.finished);
}

bool CreateWindowCtrl::windowShouldClose()
{
    if (m_disk && m_disk->isMountedAndActive()) {
        QPointer<CreateWindowCtrl> self(this);
        // A disk whose creation failed holds memory but is not mounted: say so.
        const QString title =
            m_mounted ? QStringLiteral("ThisDiskIsActive") : QStringLiteral("ThisDiskIsIncomplete");
        const QString message = m_mounted ? QStringLiteral("YouWontEjectWithoutVellumar")
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
    if (returnCode == QVXAlertAlternateReturn) {
        closeDirectly();
    } else if (returnCode == QVXAlertOtherReturn) {
        destroyDisk();
    }
}

void CreateWindowCtrl::closeDirectly()
{
    // Hidden, not closed: the window keeps its disk and stays listed for ejecting at quit.
    stopMemoryTimer();
    hide();
    if (m_delegate)
        m_delegate->diskWindowClosedLeavingDisk(this);
}

void CreateWindowCtrl::stopMemoryTimer()
{
    m_memoryUpdated->stop();
}

void CreateWindowCtrl::closeEvent(QCloseEvent *event)
{
    const bool closes =
        (!m_delegate || m_delegate->diskWindowMayClose(this)) && windowShouldClose();
    if (closes) {
        stopMemoryTimer();
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
                               static_cast<QWidget *>(m_ui->memoryDisclosure), m_ui->memoryDetails})
            block->resize(width, block->height());
    }
    return QMainWindow::eventFilter(watched, event);
}

// --- kept contents ----------------------------------------------------------------------------

void CreateWindowCtrl::updateDefaultKeptFolder()
{
    if (!m_keptFolderIsDefault)
        return;
    const QString name = m_ui->diskNameField->text();
    m_ui->keptFolderField->setText(
        KeptFolder::defaultFolder(name.isEmpty() ? DefaultDiskName : name));
}

void CreateWindowCtrl::showKeepFields()
{
    const bool keeping = m_ui->keepCheck->isChecked();
    m_ui->keptFolderField->setEnabled(keeping);
    m_ui->chooseKeptFolderButton->setEnabled(keeping);
}

void CreateWindowCtrl::chooseKeptFolder()
{
    auto *panel =
        new QFileDialog(this, localizedStringForKey(QStringLiteral("ChooseKeptFolderTitle")));
    panel->setObjectName(QStringLiteral("keptFolderPanel"));
    panel->setFileMode(QFileDialog::Directory);
    panel->setOption(QFileDialog::ShowDirsOnly, true);
    // Our own dialog on every desktop, so it stays window-modal and a test can answer it.
    panel->setOption(QFileDialog::DontUseNativeDialog, true);
    panel->setWindowModality(Qt::WindowModal);
    const QString current = m_ui->keptFolderField->text();
    panel->setDirectory(QFileInfo::exists(current) ? current : QDir::homePath());
    connect(panel, &QDialog::finished, this, [this, panel](int result) {
        const QStringList chosen = panel->selectedFiles();
        panel->deleteLater();
        if (result != QDialog::Accepted || chosen.isEmpty())
            return;
        m_ui->keptFolderField->setText(chosen.first());
        m_keptFolderIsDefault = false;
    });
    panel->open();
}

void CreateWindowCtrl::showLoadRow(bool shown)
{
    const QList<QWidget *> row{m_ui->loadState, m_ui->loadLabel, m_ui->loadProgressBar};
    for (QWidget *widget : row)
        widget->setVisible(shown);
    m_ui->loadResult->setVisible(shown && !m_ui->loadResult->text().isEmpty());
}

void CreateWindowCtrl::startKeeping(const QString &mountPath, const QString &folder, bool load)
{
    if (m_keeper)
        m_keeper->deleteLater();
    m_keeper = new DiskKeeper(mountPath, folder, this);
    connect(m_keeper, &DiskKeeper::loaded, this, &CreateWindowCtrl::keptLoadFinished);
    connect(m_keeper, &DiskKeeper::saved, this, &CreateWindowCtrl::keptSaveFinished);
    connect(m_keeper, &DiskKeeper::loadProgressed, m_ui->loadProgressBar, &QProgressBar::setValue);
    showKeptInfo();
    if (!load) {
        m_keeper->startSaving();
        return;
    }
    // Recorded first, so a save (and vellumarctl) knows where the disk keeps its contents. A
    // folder not made yet (the default, the first time) starts empty.
    KeepState(mountPath, folder).store();
    QDir().mkpath(folder);
    m_ui->loadProgressBar->setValue(0);
    m_ui->loadResult->clear();
    setStatusValue(StatusPending, m_ui->loadState);
    showLoadRow(true);
    layOutBlocks();
    m_keeper->startLoad(m_creationKeptBytes);
}

void CreateWindowCtrl::keptLoadFinished(const KeepResult &result)
{
    setStatusValue(result.succeeded ? StatusSuccess : StatusFailure, m_ui->loadState);
    if (result.succeeded) {
        m_ui->loadProgressBar->setValue(100);
        m_keeper->startSaving();
    } else {
        // A partly loaded disk saved back would delete from the folder what never arrived:
        // this disk saves nothing, and the folder stays as it was.
        m_ui->loadProgressBar->hide();
        m_ui->loadResult->setText(
            keepFailureText(localizedStringForKey(QStringLiteral("KeepLoadFailedWindow"))
                                .arg(m_keeper->keptFolder()),
                            result));
        m_ui->loadResult->show();
        KeepState::forget(m_keeper->mountPath());
        m_keeper->deleteLater();
        m_keeper = nullptr;
        m_ui->keptInfoField->hide();
    }
    layOutBlocks();
    emit keptContentsLoaded(result.succeeded);
    if (m_ejectAfterSave) {
        m_ejectAfterSave = false;
        destroyDisk();
    }
}

void CreateWindowCtrl::keptSaveFinished(const KeepResult &result)
{
    m_alerts->saveEnded(result.succeeded, m_keeper ? m_keeper->keptFolder() : QString(),
                        result.message);
    showKeptInfo();
    if (m_ejectAfterSave) {
        m_ejectAfterSave = false;
        destroyDisk();
    }
}

void CreateWindowCtrl::showKeptInfo()
{
    if (!m_keeper) {
        m_ui->keptInfoField->hide();
        return;
    }
    const QDateTime last = m_keeper->lastSave();
    QString text =
        localizedStringForKey(QStringLiteral("KeptInfo"))
            .arg(m_keeper->keptFolder(),
                 last.isValid() ? QLocale().toString(last.toLocalTime(), QLocale::ShortFormat)
                                : localizedStringForKey(QStringLiteral("KeptNotSavedYet")));
    if (m_keeper->lastSaveFailed())
        text = keepFailureText(text + QLatin1Char('\n') +
                                   localizedStringForKey(QStringLiteral("KeepSaveFailedWindow")),
                               m_keeper->lastFailure());
    m_ui->keptInfoField->setText(text);
    m_ui->keptInfoField->show();
    layOutBlocks();
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
            if (returnCode == QVXAlertAlternateReturn) {
                self->m_ejectWithoutSave = true;
                self->destroyDisk();
            } else if (self->m_keeper) {
                self->m_keeper->startSaving();
            }
        },
        nullptr,
        keepFailureText(localizedStringForKey(QStringLiteral("KeepSaveFailedMessage")), result));
}

void CreateWindowCtrl::adoptMountedDisk(const DiskInfo &disk)
{
    if (m_disk)
        m_disk->setDelegate(nullptr);
    m_disk = DiskInventory::rebuild(disk);
    m_disk->adoptMounted();
    m_disk->setDelegate(this);
    m_mounted = true;

    const QString size = DiskSize::describe(disk.sizeKiB);
    const QString name = disk.name.isEmpty() ? DefaultDiskName : disk.name;
    m_ui->diskNameBuildField->setText(name);
    m_ui->diskSizeBuildField->setText(localizedStringForKey(QStringLiteral("BuildSize")).arg(size));
    setWindowTitle(localizedStringForKey(QStringLiteral("WindowTitleDisk")).arg(name, size));
    for (QLabel *state :
         {m_ui->allocateState, m_ui->buildState, m_ui->mountState, m_ui->finalizeState})
        setStatusValue(StatusSuccess, state);
    m_ui->allocateResult->setText(disk.device);
    m_ui->buildResult->clear();
    m_ui->mountResult->setURL(QUrl::fromLocalFile(disk.mountPath));
    m_ui->mountResult->setStringValue(disk.mountPath);
    m_ui->mountResult->setUsePointHandCursor(true);
    showLoadRow(false);
    m_ui->keptInfoField->hide();
    if (const std::optional<KeepState> state = KeepState::forDisk(disk.mountPath))
        startKeeping(disk.mountPath, state->keptFolder(), false);
    selectTab(QStringLiteral("BUILD"));
    layOutBlocks();
}

void CreateWindowCtrl::markEjectedElsewhere()
{
    // Our own eject sees the volume go as well; it reports for itself.
    if (!m_disk || m_tearingDown || !forgetEjectedElsewhere(*m_disk))
        return;
    if (m_keeper) {
        m_keeper->stopSaving();
        m_keeper->deleteLater();
        m_keeper = nullptr;
    }
    m_ejectAfterSave = false;
    m_ui->mountResult->setUsePointHandCursor(false);
    m_ui->destroyTitle->setText(localizedStringForKey(QStringLiteral("EjectedElsewhere")));
    m_ui->destroyResult->setText(localizedStringForKey(QStringLiteral("EjectedElsewhereMessage")));
    m_ui->destroyProgressBar->setRange(0, 1);
    m_ui->destroyProgressBar->setValue(1);
    m_ui->continueButton->show();
    m_ui->retryEjectButton->hide();
    selectTab(QStringLiteral("DESTROY"));
    layOutBlocks();
}
