#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>

class QCheckBox;

// Answering the application's alerts and sheets the way a person would, by clicking.

// Clicks a button ("defaultButton", "alternateButton", "otherButton") of the alert on show,
// waiting up to three seconds for one; false when none came or it has no such button.
bool clickAlertButton(const char *button);
// The title of the alert on show; empty when none is.
QString alertTitle();
// Ticks a check box by clicking the box itself (its empty right part does not toggle it).
void tick(QCheckBox *box);

// Answers the next modal alert by clicking `button` once the event loop runs; a screenshot of it
// goes to $VELLUMAR_SCREENS/<screenshot> first when both are set.
struct AlertAnswer
{
    bool shown = false;
    QString title;
    explicit AlertAnswer(const QByteArray &button, const QString &screenshot = QString());
};

// What answerNextAlert saw.
struct SeenAlert
{
    bool shown = false;
    bool hadCheckBox = false;
    QString title;
    QString message;
    QStringList buttons;
};

// Polls for the next alert for up to `waitMs`, records it, ticks "Don't show again" when asked,
// then clicks `buttonName` (or presses Escape for "escape").
void answerNextAlert(const QString &buttonName, bool tickDontShowAgain,
                     std::shared_ptr<SeenAlert> seen, int waitMs = 2000);
