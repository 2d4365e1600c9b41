#pragma once

#include <QString>
#include <functional>

class QWidget;

// Alert return codes, as the default, alternate and other buttons answer them.
enum QVXAlertReturn {
    QVXAlertDefaultReturn = 1,
    QVXAlertAlternateReturn = 0,
    QVXAlertOtherReturn = -1
};

// The alert window's widgets carry these objectNames: "QVXAlert" (the dialog), "defaultButton",
// "alternateButton", "otherButton", "dontShowAgain" (the check box), "title", "message".
// An empty alternate or other title leaves that button out; an empty default title shows "OK".
// Escape or the window's close box answers the default button's code and is never remembered.
//
// Don't-show-again: when the box is ticked, the code of the pressed button is stored in the
// user defaults under "QVXDontShowAgain/<identifier>"; from then on the alert is not shown and
// answers that code. The default button (Cancel in this application's alerts) is never
// remembered: the alert shows again. An empty identifier shows no check box.
//
// Answering an alert from a test (works on the offscreen platform):
//     QTimer::singleShot(0, [] {
//         QWidget *alert = QVXCurrentAlert(); // or QApplication::activeModalWidget()
//         QTest::mouseClick(alert->findChild<QPushButton *>("alternateButton"), Qt::LeftButton);
//     });
//     const int code = QVXRunAlertPanelWithDontShowAgain(...);
// The timer fires inside the alert's own event loop. A sheet returns at once instead: begin it,
// then QTRY_VERIFY(QVXCurrentAlert()) and click; the did-dismiss callback follows on a later
// pass of the event loop (QTRY_COMPARE on what it records).

// Application-modal alert with a "Don't show this again" check box; returns 1, 0 or -1. When
// the user silenced it earlier, returns the remembered button's code without showing anything.
int QVXRunAlertPanelWithDontShowAgain(const QString &identifier, const QString &title,
                                      const QString &message, const QString &defaultButton,
                                      const QString &alternateButton, const QString &otherButton);

// Called once the sheet is gone: the sheet (null when it was silenced), the return code and
// the caller's context.
using QVXSheetDidDismiss = std::function<void(QWidget *sheet, int returnCode, void *contextInfo)>;

// Window-modal alert on `docWindow` with the check box; returns at once. Once the sheet is hidden,
// `didDismiss` runs from the event loop with the sheet (deleted after the call), the code and
// `contextInfo`. A silenced sheet calls `didDismiss` with a null sheet and the remembered code on
// the next pass of the event loop. If `docWindow` is destroyed first, `didDismiss` is not called.
void QVXBeginAlertSheetWithDontShowAgain(const QString &identifier, const QString &title,
                                         const QString &defaultButton,
                                         const QString &alternateButton, const QString &otherButton,
                                         QWidget *docWindow, QVXSheetDidDismiss didDismiss,
                                         void *contextInfo, const QString &message);

// The same sheet without the check box (didDismiss may be empty).
void QVXBeginAlertSheet(const QString &title, const QString &defaultButton,
                        const QString &alternateButton, const QString &otherButton,
                        QWidget *docWindow, QVXSheetDidDismiss didDismiss, void *contextInfo,
                        const QString &message);

// Forgets every don't-show-again choice: each alert shows again.
void QVXResetDontShowAgainChoices();

// The alert or sheet now on screen (the application-modal one first), or null.
QWidget *QVXCurrentAlert();
