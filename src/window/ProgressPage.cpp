#include "ProgressPage.h"
#include "ui_ProgressPage.h"

#include "DiskKeeper.h"
#include "Localization.h"

#include <QDir>
#include <QLocale>
#include <QUrl>

ProgressPage::ProgressPage(QWidget *parent)
    : QWidget(parent), m_ui(std::make_unique<Ui::ProgressPage>())
{
    m_ui->setupUi(this);
    connect(m_ui->ejectButton, &QPushButton::clicked, this, &ProgressPage::ejectRequested);
    // Results wrap inside the window instead of being cut off.
    for (QLabel *result : {m_ui->allocateResult, m_ui->buildResult, m_ui->keptInfoField,
                           m_ui->loadResult, m_ui->finalizeResult})
        result->setWordWrap(true);
    QFont title = m_ui->diskNameBuildField->font();
    title.setBold(true);
    m_ui->diskNameBuildField->setFont(title);
    m_ui->diskUsageField->hide();
    hideKept();
}

ProgressPage::~ProgressPage() = default;

void ProgressPage::begin(const QString &name, const QString &size)
{
    m_ui->allocateResult->clear();
    m_ui->buildResult->clear();
    m_ui->finalizeResult->clear();
    m_ui->mountResult->setStringValue(QString());
    m_ui->mountResult->setURL(QUrl());
    m_ui->diskNameBuildField->setText(name);
    m_ui->diskSizeBuildField->setText(localizedStringForKey(QStringLiteral("BuildSize")).arg(size));
    setStatusValue(StatusPending, m_ui->allocateState);
    for (QLabel *state : {m_ui->buildState, m_ui->mountState, m_ui->finalizeState})
        state->clear();
    showDiskUsage(QString());
    hideKept();
}

bool ProgressPage::showDiskUsage(const QString &line)
{
    m_ui->diskUsageField->setText(line);
    const bool shown = !line.isEmpty();
    if (m_ui->diskUsageField->isVisibleTo(this) == shown)
        return false;
    m_ui->diskUsageField->setVisible(shown);
    return true;
}

void ProgressPage::showFound(const QString &name, const QString &size, const QString &device,
                             const QString &mountPath)
{
    begin(name, size);
    for (QLabel *state :
         {m_ui->allocateState, m_ui->buildState, m_ui->mountState, m_ui->finalizeState})
        setStatusValue(StatusSuccess, state);
    m_ui->allocateResult->setText(device);
    m_ui->mountResult->setURL(QUrl::fromLocalFile(mountPath));
    m_ui->mountResult->setStringValue(mountPath);
    setLinkActive(true);
}

void ProgressPage::showPending(Phase phase)
{
    QLabel *const states[] = {m_ui->allocateState, m_ui->buildState, m_ui->mountState,
                              m_ui->finalizeState};
    const int index = int(phase);
    if (index >= 0 && index < 4 && states[index]->text().isEmpty())
        setStatusValue(StatusPending, states[index]);
}

void ProgressPage::showPhase(Phase phase, PhaseStatus status, const QString &result)
{
    const bool successful = status == PhaseStatus::Done;
    const int mark = successful                       ? StatusSuccess
                     : status == PhaseStatus::NotDone ? StatusNotDone
                                                      : StatusFailure;
    const QString shown = status == PhaseStatus::Failed ? failureText(int(phase), result) : result;
    switch (phase) {
    case Phase::Allocate:
        setStatusValue(mark, m_ui->allocateState);
        m_ui->allocateResult->setText(shown);
        break;
    case Phase::Build:
        setStatusValue(mark, m_ui->buildState);
        m_ui->buildResult->setText(shown);
        break;
    case Phase::Mount:
        // Only a mounted folder makes a link; a failure text is shown as plain text.
        m_ui->mountResult->setURL(
            successful && QDir::isAbsolutePath(result) ? QUrl::fromLocalFile(result) : QUrl());
        setStatusValue(mark, m_ui->mountState);
        m_ui->mountResult->setStringValue(shown);
        break;
    case Phase::Finalize:
        setStatusValue(mark, m_ui->finalizeState);
        m_ui->finalizeResult->setText(successful ? QString() : shown);
        return;
    case Phase::Load:
        return;
    }
    showPending(Phase(int(phase) + 1));
}

void ProgressPage::setLinkActive(bool active)
{
    m_ui->mountResult->setUsePointHandCursor(active && hasLink());
}

bool ProgressPage::hasLink() const
{
    return !m_ui->mountResult->URL().isEmpty();
}

void ProgressPage::showLoadRow(bool shown)
{
    for (QWidget *widget :
         std::initializer_list<QWidget *>{m_ui->loadState, m_ui->loadLabel, m_ui->loadProgressBar})
        widget->setVisible(shown);
    m_ui->loadResult->setVisible(shown && !m_ui->loadResult->text().isEmpty());
}

void ProgressPage::hideKept()
{
    m_ui->loadResult->clear();
    showLoadRow(false);
    m_ui->keptInfoField->hide();
}

void ProgressPage::showLoadStarted()
{
    m_ui->loadProgressBar->setValue(0);
    m_ui->loadResult->clear();
    setStatusValue(StatusPending, m_ui->loadState);
    showLoadRow(true);
}

void ProgressPage::showLoadProgress(int percent)
{
    m_ui->loadProgressBar->setValue(percent);
}

void ProgressPage::showLoadResult(const KeepResult &result, const QString &keptFolder)
{
    setStatusValue(result.succeeded ? StatusSuccess : StatusFailure, m_ui->loadState);
    if (result.succeeded) {
        m_ui->loadProgressBar->setValue(100);
        return;
    }
    // A partly loaded disk is never saved over its folder: it goes again, the folder as it was.
    m_ui->loadProgressBar->hide();
    m_ui->loadResult->setText(keepFailureText(
        localizedStringForKey(QStringLiteral("KeepLoadFailedWindow")).arg(keptFolder), result));
    m_ui->loadResult->show();
    m_ui->keptInfoField->hide();
}

void ProgressPage::showKeptInfo(const DiskKeeper *keeper)
{
    if (!keeper) {
        m_ui->keptInfoField->hide();
        return;
    }
    const QDateTime last = keeper->lastSave();
    QString text =
        localizedStringForKey(QStringLiteral("KeptInfo"))
            .arg(keeper->keptFolder(),
                 last.isValid() ? QLocale().toString(last.toLocalTime(), QLocale::ShortFormat)
                                : localizedStringForKey(QStringLiteral("KeptNotSavedYet")));
    if (keeper->lastSaveFailed())
        text = keepFailureText(text + QLatin1Char('\n') +
                                   localizedStringForKey(QStringLiteral("KeepSaveFailedWindow")),
                               keeper->lastFailure());
    m_ui->keptInfoField->setText(text);
    m_ui->keptInfoField->show();
}

QColor ProgressPage::statusColor(int value)
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

void ProgressPage::setStatusValue(int value, QLabel *field)
{
    const QString key = value == StatusSuccess   ? QStringLiteral("tick")
                        : value == StatusFailure ? QStringLiteral("cross")
                        : value == StatusNotDone ? QStringLiteral("notDone")
                                                 : QStringLiteral("dot");
    field->setText(localizedStringForKey(key));
    QPalette palette = field->palette();
    palette.setColor(QPalette::WindowText, statusColor(value));
    field->setPalette(palette);
    field->repaint();
}

QString ProgressPage::failureText(int phase, const QString &result)
{
    static const char *const sentences[] = {"AllocateFailed", "BuildFailed", "MountFailed"};
    if (phase < 0 || phase > 2)
        return result;
    // One sentence that says what failed, then the tool's own words.
    const QString sentence = localizedStringForKey(QLatin1String(sentences[phase]));
    const QString words = result.trimmed();
    return words.isEmpty() ? sentence : sentence + QLatin1Char('\n') + words;
}

QString ProgressPage::keepFailureText(const QString &sentence, const KeepResult &result)
{
    QStringList parts{sentence};
    if (!result.message.trimmed().isEmpty())
        parts << result.message.trimmed();
    if (!result.unsavedFiles.isEmpty())
        parts << localizedStringForKey(QStringLiteral("KeepNotSavedFiles"))
                     .arg(result.unsavedFiles.mid(0, 10).join(QStringLiteral(", ")));
    return parts.join(QLatin1Char('\n'));
}
