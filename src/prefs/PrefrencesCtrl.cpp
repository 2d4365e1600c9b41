#include "PrefrencesCtrl.h"
#include "ui_Prefrences.h"

#include "Localization.h"
#include "MediaLocation.h"
#include "RememberedDisks.h"
#include "Settings.h"

#include <QButtonGroup>
#include <QFileDialog>
#include <QListWidget>
#include <QSpinBox>

PrefrencesCtrl::PrefrencesCtrl(QObject *parent)
    : QVXPreferencesCtrl(new QWidget, parent), m_ui(std::make_unique<Ui::Prefrences>())
{
    QWidget *window = preferencesWindow();
    m_ui->setupUi(window);
    window->setWindowFlag(Qt::Dialog);

    m_locationMatrix = new QButtonGroup(this);
    m_locationMatrix->setObjectName(QStringLiteral("locationMatrixGroup"));
    m_locationMatrix->addButton(m_ui->defaultLocationCell, DefaultLocation);
    m_locationMatrix->addButton(m_ui->chosenLocationCell, ChosenLocation);
#ifdef Q_OS_MACOS
    m_ui->defaultLocationCell->setToolTip(Settings::defaultMountLocation());
#else
    // Where the disks appear: a folder named after each disk in the user's media folder.
    m_ui->defaultLocationCell->setToolTip(MediaLocation::folder() + QLatin1Char('/'));
#endif
    // A click counts even on the cell already selected: the chooser opens again.
    connect(m_locationMatrix, &QButtonGroup::idClicked, this, &PrefrencesCtrl::locationAct);

    connect(m_ui->saveEveryMinutesField, &QSpinBox::valueChanged, this, [this](int minutes) {
        Settings::setSaveEveryMinutes(minutes);
        emit saveEveryMinutesChanged(minutes);
    });
    connect(m_ui->forgetButton, &QPushButton::clicked, this, &PrefrencesCtrl::forgetRemembered);
    connect(m_ui->rememberedList, &QListWidget::currentRowChanged, this,
            [this](int row) { m_ui->forgetButton->setEnabled(row >= 0); });
}

PrefrencesCtrl::~PrefrencesCtrl()
{
    delete m_openPanel.data();
}

QString PrefrencesCtrl::shownLocation(const QString &stored)
{
#ifdef Q_OS_MACOS
    return stored;
#else
    // The default is where the disks appear, not the word the settings keep for it.
    return Settings::isDefaultMountLocation(stored) ? MediaLocation::folder() + QLatin1Char('/')
                                                    : stored;
#endif
}

QLineEdit *PrefrencesCtrl::locationField() const
{
    return m_ui->locationField;
}

QSpinBox *PrefrencesCtrl::saveEveryMinutesField() const
{
    return m_ui->saveEveryMinutesField;
}

QListWidget *PrefrencesCtrl::rememberedList() const
{
    return m_ui->rememberedList;
}

void PrefrencesCtrl::fillRememberedList()
{
    QListWidget *list = m_ui->rememberedList;
    list->clear();
    for (const RememberedDisk &disk : RememberedDisks::list()) {
        QString text = localizedStringForKey(QStringLiteral("RememberedDiskEntry"))
                           .arg(disk.name, disk.size, disk.mountPath);
        if (!disk.keptFolder.isEmpty())
            text = localizedStringForKey(QStringLiteral("RememberedDiskKept"))
                       .arg(text, disk.keptFolder);
        auto *item = new QListWidgetItem(text, list);
        item->setData(Qt::UserRole, disk.mountPath);
    }
    m_ui->forgetButton->setEnabled(list->currentRow() >= 0);
}

void PrefrencesCtrl::forgetRemembered()
{
    const QListWidgetItem *item = m_ui->rememberedList->currentItem();
    if (!item)
        return;
    RememberedDisks::forget(item->data(Qt::UserRole).toString());
    fillRememberedList();
}

void PrefrencesCtrl::update()
{
    const QString stored = Settings::mountLocation();
    m_ui->locationField->setText(shownLocation(stored));
    m_ui->locationField->setCursorPosition(0);
    // Exact comparison: the default written any other way counts as a chosen folder (the old
    // default of the original platform reads as the default).
    m_locationMatrix
        ->button(Settings::isDefaultMountLocation(stored) ? DefaultLocation : ChosenLocation)
        ->setChecked(true);
    const QSignalBlocker quiet(m_ui->saveEveryMinutesField); // showing is not choosing
    m_ui->saveEveryMinutesField->setValue(Settings::saveEveryMinutes());
    fillRememberedList();
    QVXPreferencesCtrl::update();
}

void PrefrencesCtrl::openSplashAtStartup(bool on)
{
    QVXPreferencesCtrl::openSplashAtStartup(on);
}

void PrefrencesCtrl::locationAct()
{
    if (m_locationMatrix->checkedId() == DefaultLocation) {
        m_ui->locationField->setText(shownLocation(Settings::defaultMountLocation()));
        Settings::setMountLocation(Settings::defaultMountLocation());
        return;
    }
    if (m_openPanel) {
        m_openPanel->raise();
        return;
    }
    auto *panel = new QFileDialog(preferencesWindow(),
                                  localizedStringForKey(QStringLiteral("ChooseMountLocation")));
    panel->setObjectName(QStringLiteral("openPanel"));
    panel->setFileMode(QFileDialog::Directory);
    panel->setOption(QFileDialog::ShowDirsOnly, true);
    // Our own dialog on every desktop, so it stays window-modal and a test can answer it.
    panel->setOption(QFileDialog::DontUseNativeDialog, true);
    panel->setWindowModality(Qt::WindowModal);
    m_openPanel = panel;
    connect(panel, &QDialog::finished, this, [this, panel](int result) {
        const QStringList chosen = panel->selectedFiles();
        panel->deleteLater();
        openPanelDidEnd(result == QDialog::Accepted ? 1 : 0, chosen);
    });
    panel->open(); // returns at once; nothing is stored before the answer
}

void PrefrencesCtrl::openPanelDidEnd(int returnCode, const QStringList &filenames)
{
    if (returnCode == 1 && !filenames.isEmpty()) {
        const QString folder = filenames.first();
        Settings::setMountLocation(folder);
        m_ui->locationField->setText(folder);
        m_ui->locationField->setCursorPosition(0);
        m_locationMatrix->button(ChosenLocation)->setChecked(true);
        return;
    }
    m_locationMatrix->button(DefaultLocation)->setChecked(true);
    locationAct();
}
