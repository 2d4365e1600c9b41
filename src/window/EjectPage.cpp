#include "EjectPage.h"
#include "ui_EjectPage.h"

#include "Localization.h"
#include "RamDisk.h"

EjectPage::EjectPage(QWidget *parent) : QWidget(parent), m_ui(std::make_unique<Ui::EjectPage>())
{
    m_ui->setupUi(this);
    connect(m_ui->continueButton, &QPushButton::clicked, this, &EjectPage::continueRequested);
    connect(m_ui->retryEjectButton, &QPushButton::clicked, this, &EjectPage::retryRequested);
    m_ui->retryEjectButton->hide();
    m_ui->destroyResult->setWordWrap(true);
    reset();
}

EjectPage::~EjectPage() = default;

void EjectPage::reset()
{
    m_ui->destroyProgressBar->setRange(0, 1);
    m_ui->destroyProgressBar->setValue(0);
}

void EjectPage::showEjecting()
{
    m_ui->destroyResult->clear();
    m_ui->destroyTitle->setText(localizedStringForKey(QStringLiteral("EjectingDisk")));
    m_ui->destroyProgressBar->setRange(0, 0); // busy
    m_ui->continueButton->hide();
    m_ui->retryEjectButton->hide();
}

void EjectPage::showEjectedElsewhere()
{
    m_ui->destroyProgressBar->setRange(0, 1);
    m_ui->destroyProgressBar->setValue(1);
    m_ui->destroyTitle->setText(localizedStringForKey(QStringLiteral("EjectedElsewhere")));
    m_ui->destroyResult->setText(localizedStringForKey(QStringLiteral("EjectedElsewhereMessage")));
    m_ui->continueButton->show();
    m_ui->retryEjectButton->hide();
}

void EjectPage::showOutcome(const TeardownOutcome &outcome, const QString &before)
{
    m_ui->destroyProgressBar->setRange(0, 1);
    m_ui->destroyProgressBar->setValue(outcome.finished ? 1 : 0);
    m_ui->destroyTitle->setText(localizedStringForKey(
        outcome.finished ? QStringLiteral("DiskEjected") : QStringLiteral("DiskNotEjected")));
    m_ui->destroyResult->setText(before.isEmpty() ? outcome.userText
                                                  : before + QLatin1Char('\n') + outcome.userText);
    // A disk that is still owed cannot be replaced by a new one: offer another try instead.
    m_ui->continueButton->setVisible(outcome.finished);
    m_ui->retryEjectButton->setVisible(!outcome.finished);
}
