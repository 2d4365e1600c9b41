#include "FormPage.h"
#include "ui_FormPage.h"

#include "DiskRules.h"
#include "DiskSession.h"
#include "DiskSize.h"
#include "Localization.h"
#include "RamDisk.h"

#include <QFileDialog>
#include <QFileInfo>

FormPage::FormPage(QWidget *parent) : QWidget(parent), m_ui(std::make_unique<Ui::FormPage>())
{
    m_ui->setupUi(this);
    QComboBox *presets = m_ui->formatPopUpButton;
    presets->addItem(localizedStringForKey(QStringLiteral("FreeEntry")), 0);
    // Each preset reads as what it puts in the size field.
    for (int mb : {16, 32, 64, 128, 256, 512, 1024, 2048, 4096, 8192})
        presets->addItem(DiskSize::describe(qint64(mb) * 1024), mb);
    for (const QString &kind : DiskKinds::names())
        m_ui->kindChoice->addItem(localizedStringForKey(QStringLiteral("Kind_") + kind), kind);
    m_ui->kindChoice->setCurrentIndex(
        m_ui->kindChoice->findData(DiskKinds::name(DiskKinds::defaultKind)));

    // Only the user's own edits count: the name field reports nothing, or each keystroke in it
    // would reset the name.
    connect(presets, &QComboBox::activated, this, &FormPage::setDiskFormat);
    connect(m_ui->diskSizeField, &QLineEdit::textEdited, this, &FormPage::controlTextDidChange);
    connect(m_ui->kindChoice, &QComboBox::currentIndexChanged, this, &FormPage::showKindHint);
    connect(m_ui->automaticPathButton, &QPushButton::clicked, this, &FormPage::resetMountPath);
    connect(m_ui->createButton, &QPushButton::clicked, this, &FormPage::createRequested);
    for (QLineEdit *field : {m_ui->diskSizeField, m_ui->diskNameField, m_ui->pathField})
        connect(field, &QLineEdit::returnPressed, this, &FormPage::createRequested);
    // Typed or set by a preset, the name moves a kept folder that is still the default.
    connect(m_ui->diskNameField, &QLineEdit::textChanged, this, &FormPage::updateDefaultKeptFolder);
    connect(m_ui->keptFolderField, &QLineEdit::textEdited, this,
            [this] { m_keptFolderIsDefault = false; });
    connect(m_ui->chooseKeptFolderButton, &QPushButton::clicked, this, &FormPage::chooseKeptFolder);
    connect(m_ui->keepCheck, &QCheckBox::toggled, this, &FormPage::showKeepFields);
    showKindHint();
    showKeepFields();
}

FormPage::~FormPage() = default;

DiskRequest FormPage::request()
{
    if (m_ui->pathField->text().isEmpty())
        m_ui->pathField->setText(m_defaultMountPath);
    DiskRequest request;
    request.size = m_ui->diskSizeField->text();
    request.name = m_ui->diskNameField->text();
    request.mountPath = m_ui->pathField->text();
    DiskKinds::parse(m_ui->kindChoice->currentData().toString(), request.kind);
    if (m_ui->keepCheck->isChecked()) {
        if (m_ui->keptFolderField->text().trimmed().isEmpty()) {
            m_keptFolderIsDefault = true; // an empty field asks for the default
            updateDefaultKeptFolder();
        }
        request.keptFolder = m_ui->keptFolderField->text();
    }
    request.remember = m_ui->rememberCheck->isChecked();
    return request;
}

void FormPage::resetMountPath()
{
    m_defaultMountPath = RamDisk::mountPathGenerator();
    m_ui->pathField->setText(m_defaultMountPath);
    updateDefaultKeptFolder();
}

void FormPage::setDiskFormat()
{
    const int tag = m_ui->formatPopUpButton->currentData().toInt();
    if (tag > 0) {
        const QString size = DiskSize::describe(qint64(tag) * 1024);
        m_ui->diskSizeField->setText(size);
        m_ui->diskNameField->setText(DiskRules::defaultName() + QLatin1Char(' ') + size);
        showSizePreview();
    } else {
        m_ui->diskNameField->setText(DiskRules::defaultName());
    }
}

void FormPage::controlTextDidChange()
{
    m_ui->formatPopUpButton->setCurrentIndex(0);
    setDiskFormat();
    showSizePreview();
}

void FormPage::showSizePreview()
{
    const QString text = m_ui->diskSizeField->text();
    const DiskSize::Reading reading = DiskSize::read(text, DiskSession::machineMemory().totalKiB);
    QString preview;
    if (reading.ok() || reading.problem == DiskSize::Problem::TooSmall)
        preview = QStringLiteral("= ") + DiskSize::describe(reading.kib);
    else if (!text.trimmed().isEmpty())
        preview = localizedStringForKey(QStringLiteral("SizePreviewInvalid"));
    m_ui->diskSizePreview->setText(preview);
}

void FormPage::showKindHint()
{
    m_ui->kindHint->setText(localizedStringForKey(QStringLiteral("KindHint_") +
                                                  m_ui->kindChoice->currentData().toString()));
}

void FormPage::setBusy(bool busy)
{
    m_ui->createButton->setEnabled(!busy);
}

void FormPage::focusSize()
{
    m_ui->diskSizeField->setFocus();
}

void FormPage::updateDefaultKeptFolder()
{
    if (!m_keptFolderIsDefault)
        return;
    // Numbered while another disk keeps its contents in the name's folder.
    m_ui->keptFolderField->setText(
        DiskRules::defaultKeptFolder(m_ui->diskNameField->text(), m_ui->pathField->text()));
}

void FormPage::showKeepFields()
{
    const bool keeping = m_ui->keepCheck->isChecked();
    m_ui->keptFolderField->setEnabled(keeping);
    m_ui->chooseKeptFolderButton->setEnabled(keeping);
    if (keeping)
        updateDefaultKeptFolder(); // disks may have taken the folder since the name was typed
}

void FormPage::chooseKeptFolder()
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

QString FormPage::refusalTitle(const Refusal &refusal)
{
    switch (refusal.rule) {
    case DiskRule::Size:
        if (refusal.sizeProblem == DiskSize::Problem::NotASize ||
            refusal.sizeProblem == DiskSize::Problem::Zero)
            return QStringLiteral("PlzInsertDiskSize");
        return refusal.sizeProblem == DiskSize::Problem::TooSmall
                   ? QStringLiteral("SizeTooSmall")
                   : QStringLiteral("SizeDoesNotFit");
    case DiskRule::Name:
    case DiskRule::Kind:
        return QStringLiteral("NameInvalid");
    case DiskRule::MountPath:
        return QStringLiteral("MountPathInvalid");
    case DiskRule::KeptFolder:
        return QStringLiteral("KeptFolderInvalid");
    case DiskRule::Memory:
        return QStringLiteral("SizeExceedsMemory");
    case DiskRule::Privilege:
    case DiskRule::None:
        break;
    }
    return QStringLiteral("CannotMakeDisks");
}
