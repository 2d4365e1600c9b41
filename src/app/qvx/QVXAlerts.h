#pragma once

#include <QString>
#include <functional>

class QWidget;

// Alert return codes, as the default, alternate and other buttons answer them.
enum QVXAlertReturn { QVXAlertDefaultReturn = 1, QVXAlertAlternateReturn = 0, QVXAlertOtherReturn = -1 };

// The alert window's widgets carry these objectNames: "QVXAlert" (the dialog), "defaultButton",
// "alternateButton", "otherButton", "dontShowAgain" (the check box), "title", "message".
// An empty button title leaves that button out.

// Application-modal alert with a "Don't show this again" check box; returns 1, 0 or -1. When
// the user silenced it earlier, returns the remembered button's code without showing anything.
int QVXRunAlertPanelWithDontShowAgain(const QString &identifier, const QString &title,
                                      const QString &message, const QString &defaultButton,
                                      const QString &alternateButton, const QString &otherButton);

// Called once the sheet is gone: the sheet (null when it was silenced), the return code and
// the caller's context.
using QVXSheetDidDismiss = std::function<void(QWidget *sheet, int returnCode, void *contextInfo)>;

// Window-modal alert on `docWindow` with the check box; returns at once. A silenced sheet calls
// `didDismiss` with the remembered code on the next pass of the event loop.
void QVXBeginAlertSheetWithDontShowAgain(const QString &identifier, const QString &title,
                                         const QString &defaultButton,
                                         const QString &alternateButton,
                                         const QString &otherButton, QWidget *docWindow,
                                         QVXSheetDidDismiss didDismiss, void *contextInfo,
                                         const QString &message);

// The same sheet without the check box (didDismiss may be empty).
void QVXBeginAlertSheet(const QString &title, const QString &defaultButton,
                        const QString &alternateButton, const QString &otherButton,
                        QWidget *docWindow, QVXSheetDidDismiss didDismiss, void *contextInfo,
                        const QString &message);

// Forgets every don't-show-again choice: each alert shows again.
void QVXResetDontShowAgainChoices();
