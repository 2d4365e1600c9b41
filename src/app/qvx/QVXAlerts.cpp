#include "QVXAlerts.h"

#include "Localization.h"
#include "Settings.h"
#include "SystemLog.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>
#include <optional>

namespace {

// The code remembered for a silenced alert; nothing when the alert is to be shown.
std::optional<int> rememberedChoice(const QString &identifier)
{
    if (identifier.isEmpty())
        return std::nullopt;
    const QVariant stored = Settings::alertChoice(identifier);
    if (!stored.isValid())
        return std::nullopt;
    bool ok = false;
    const int code = stored.toInt(&ok);
    if (!ok || (code != QVXAlertDefaultReturn && code != QVXAlertAlternateReturn &&
                code != QVXAlertOtherReturn))
        return std::nullopt;
    return code;
}

bool haveWidgets()
{
    if (qobject_cast<QApplication *>(QCoreApplication::instance()))
        return true;
    SystemLog::log(QStringLiteral("Error: an alert needs a windowed application"));
    return false;
}

// Gives `text` a keyboard accelerator on its first letter not taken yet (Alt+letter presses the
// button), unless it carries one already.
QString withAccelerator(const QString &text, QString &taken)
{
    if (text.contains(QLatin1Char('&')))
        return text;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar letter = text.at(i).toLower();
        if (letter.isLetter() && !taken.contains(letter)) {
            taken.append(letter);
            return text.left(i) + QLatin1Char('&') + text.mid(i);
        }
    }
    return text;
}

class AlertDialog : public QDialog
{
public:
    AlertDialog(QWidget *parent, const QString &identifier, bool withCheckBox, const QString &title,
                const QString &message, const QString &defaultTitle, const QString &alternateTitle,
                const QString &otherTitle)
        : QDialog(parent), m_identifier(identifier)
    {
        setObjectName(QStringLiteral("QVXAlert"));
        setWindowTitle(title);

        auto *icon = new QLabel(this);
        const int iconSize = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
        icon->setPixmap(style()
                            ->standardIcon(QStyle::SP_MessageBoxWarning, nullptr, this)
                            .pixmap(iconSize, iconSize));
        icon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

        auto *titleLabel = new QLabel(title, this);
        titleLabel->setObjectName(QStringLiteral("title"));
        titleLabel->setWordWrap(true);
        QFont bold = titleLabel->font();
        bold.setBold(true);
        titleLabel->setFont(bold);

        auto *messageLabel = new QLabel(message, this);
        messageLabel->setObjectName(QStringLiteral("message"));
        messageLabel->setWordWrap(true);
        messageLabel->setMinimumWidth(320);
        messageLabel->setVisible(!message.isEmpty());

        auto *texts = new QVBoxLayout;
        texts->addWidget(titleLabel);
        texts->addWidget(messageLabel);
        if (withCheckBox) {
            m_checkBox = new QCheckBox(
                withAccelerator(localizedStringForKey(QStringLiteral("DontShowAgain")), m_taken),
                this);
            m_checkBox->setObjectName(QStringLiteral("dontShowAgain"));
            texts->addSpacing(6);
            texts->addWidget(m_checkBox);
        }
        texts->addStretch();

        auto *top = new QHBoxLayout;
        top->addWidget(icon, 0, Qt::AlignTop);
        top->addSpacing(8);
        top->addLayout(texts, 1);

        // Other on the far left, then the alternate button, the default one on the right.
        auto *buttons = new QHBoxLayout;
        addButton(buttons, QStringLiteral("otherButton"), otherTitle, QVXAlertOtherReturn);
        buttons->addStretch();
        addButton(buttons, QStringLiteral("alternateButton"), alternateTitle,
                  QVXAlertAlternateReturn);
        const QString shownDefault =
            defaultTitle.isEmpty() ? localizedStringForKey(QStringLiteral("OK")) : defaultTitle;
        QPushButton *defaultButton = addButton(buttons, QStringLiteral("defaultButton"),
                                               shownDefault, QVXAlertDefaultReturn);
        defaultButton->setDefault(true);
        defaultButton->setFocus();

        auto *layout = new QVBoxLayout(this);
        layout->addLayout(top);
        layout->addSpacing(12);
        layout->addLayout(buttons);
        layout->setSizeConstraint(QLayout::SetFixedSize);
    }

    int returnCode() const { return m_returnCode; }

    // Remembers the pressed button for the identifier when the user ticked the check box. The
    // default button cancels in every alert of this application; remembering it would leave the
    // user unable ever to quit or close while a disk is active, so it is never remembered.
    void rememberChoice() const
    {
        if (m_answeredByButton && m_returnCode != QVXAlertDefaultReturn && m_checkBox &&
            m_checkBox->isChecked() && !m_identifier.isEmpty())
            Settings::setAlertChoice(m_identifier, m_returnCode);
    }

    // Escape or the window's close box: the default button's answer, never remembered.
    void reject() override
    {
        m_returnCode = QVXAlertDefaultReturn;
        m_answeredByButton = false;
        QDialog::done(QDialog::Rejected);
    }

private:
    QPushButton *addButton(QHBoxLayout *row, const QString &name, const QString &title, int code)
    {
        if (title.isEmpty())
            return nullptr;
        auto *button = new QPushButton(withAccelerator(title, m_taken), this);
        button->setObjectName(name);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, code] {
            m_returnCode = code;
            m_answeredByButton = true;
            QDialog::done(QDialog::Accepted);
        });
        row->addWidget(button);
        return button;
    }

    QString m_identifier;
    QString m_taken; // accelerator letters in use
    QCheckBox *m_checkBox = nullptr;
    int m_returnCode = QVXAlertDefaultReturn;
    bool m_answeredByButton = false;
};

// Centres a parentless alert over the window the user is working in.
void placeOverActiveWindow(QWidget *alert)
{
    alert->adjustSize();
    const QWidget *active = QApplication::activeWindow();
    QRect area = active ? active->frameGeometry() : QRect();
    if (area.isEmpty() && alert->screen())
        area = alert->screen()->availableGeometry();
    QRect frame(QPoint(), alert->size());
    frame.moveCenter(area.center());
    frame.moveTop(area.top() + area.height() / 4);
    alert->move(frame.topLeft());
}

int runAlert(const QString &identifier, bool withCheckBox, const QString &title,
             const QString &message, const QString &defaultButton, const QString &alternateButton,
             const QString &otherButton)
{
    if (withCheckBox) {
        if (const std::optional<int> remembered = rememberedChoice(identifier))
            return *remembered;
    }
    if (!haveWidgets())
        return QVXAlertDefaultReturn;
    // No parent: a window closing while the alert runs must not take the alert with it.
    AlertDialog alert(nullptr, identifier, withCheckBox && !identifier.isEmpty(), title, message,
                      defaultButton, alternateButton, otherButton);
    alert.setWindowModality(Qt::ApplicationModal);
    placeOverActiveWindow(&alert);
    alert.exec();
    alert.rememberChoice();
    return alert.returnCode();
}

void beginSheet(const QString &identifier, bool withCheckBox, const QString &title,
                const QString &defaultButton, const QString &alternateButton,
                const QString &otherButton, QWidget *docWindow, QVXSheetDidDismiss didDismiss,
                void *contextInfo, const QString &message)
{
    QObject *receiver = docWindow ? static_cast<QObject *>(docWindow)
                                  : static_cast<QObject *>(QCoreApplication::instance());
    if (withCheckBox) {
        if (const std::optional<int> remembered = rememberedChoice(identifier)) {
            // Answered on the next pass of the event loop, as a shown sheet would be; dropped
            // if the window is gone by then.
            if (didDismiss && receiver) {
                const int code = *remembered;
                QTimer::singleShot(0, receiver, [didDismiss, code, contextInfo] {
                    didDismiss(nullptr, code, contextInfo);
                });
            }
            return;
        }
    }
    if (!haveWidgets()) {
        if (didDismiss && receiver)
            QTimer::singleShot(0, receiver, [didDismiss, contextInfo] {
                didDismiss(nullptr, QVXAlertDefaultReturn, contextInfo);
            });
        return;
    }
    QWidget *parent = docWindow ? docWindow->window() : nullptr;
    auto *sheet = new AlertDialog(parent, identifier, withCheckBox && !identifier.isEmpty(), title,
                                  message, defaultButton, alternateButton, otherButton);
    sheet->setWindowFlag(Qt::Sheet);
    if (!parent)
        placeOverActiveWindow(sheet);
    QObject::connect(sheet, &QDialog::finished, sheet, [sheet, didDismiss, contextInfo] {
        sheet->rememberChoice();
        // The callback may close or delete the document window, and the sheet with it, so it
        // runs from the event loop rather than from inside the dialog's own finishing.
        QPointer<AlertDialog> guard(sheet);
        QTimer::singleShot(0, sheet, [guard, didDismiss, contextInfo] {
            if (!guard)
                return;
            const int code = guard->returnCode();
            if (didDismiss)
                didDismiss(guard.data(), code, contextInfo);
            if (guard)
                guard->deleteLater();
        });
    });
    sheet->open(); // window-modal when it has a parent, returns at once
}

} // namespace

int QVXRunAlertPanelWithDontShowAgain(const QString &identifier, const QString &title,
                                      const QString &message, const QString &defaultButton,
                                      const QString &alternateButton, const QString &otherButton)
{
    return runAlert(identifier, true, title, message, defaultButton, alternateButton, otherButton);
}

void QVXBeginAlertSheetWithDontShowAgain(const QString &identifier, const QString &title,
                                         const QString &defaultButton,
                                         const QString &alternateButton, const QString &otherButton,
                                         QWidget *docWindow, QVXSheetDidDismiss didDismiss,
                                         void *contextInfo, const QString &message)
{
    beginSheet(identifier, true, title, defaultButton, alternateButton, otherButton, docWindow,
               std::move(didDismiss), contextInfo, message);
}

void QVXBeginAlertSheet(const QString &title, const QString &defaultButton,
                        const QString &alternateButton, const QString &otherButton,
                        QWidget *docWindow, QVXSheetDidDismiss didDismiss, void *contextInfo,
                        const QString &message)
{
    beginSheet(QString(), false, title, defaultButton, alternateButton, otherButton, docWindow,
               std::move(didDismiss), contextInfo, message);
}

void QVXResetDontShowAgainChoices()
{
    Settings::forgetAlertChoices();
}

QWidget *QVXCurrentAlert()
{
    QWidget *modal = QApplication::activeModalWidget();
    if (modal && modal->objectName() == QLatin1String("QVXAlert") && modal->isVisible())
        return modal;
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows) {
        if (window->objectName() == QLatin1String("QVXAlert") && window->isVisible())
            return window;
    }
    return nullptr;
}
