#include "AlertAnswers.h"

#include "QVXAlerts.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

bool clickAlertButton(const char *button)
{
    if (!QTest::qWaitFor([] { return QVXCurrentAlert() != nullptr; }, 3000))
        return false;
    auto *target = QVXCurrentAlert()->findChild<QPushButton *>(QLatin1String(button));
    if (!target)
        return false;
    QTest::mouseClick(target, Qt::LeftButton);
    return true;
}

QString alertTitle()
{
    QWidget *alert = QVXCurrentAlert();
    auto *title = alert ? alert->findChild<QLabel *>(QStringLiteral("title")) : nullptr;
    return title ? title->text() : QString();
}

void tick(QCheckBox *box)
{
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
}

AlertAnswer::AlertAnswer(const QByteArray &button, const QString &screenshot)
{
    QTimer::singleShot(0, qApp, [this, button, screenshot] {
        QWidget *alert = QVXCurrentAlert();
        if (!alert)
            return;
        shown = true;
        if (auto *label = alert->findChild<QLabel *>(QStringLiteral("title")))
            title = label->text();
        const QString folder = qEnvironmentVariable("VELLUMAR_SCREENS");
        if (!folder.isEmpty() && !screenshot.isEmpty()) {
            QTest::qWait(200);
            alert->grab().save(folder + QLatin1Char('/') + screenshot);
        }
        if (auto *target = alert->findChild<QPushButton *>(QString::fromLatin1(button)))
            QTest::mouseClick(target, Qt::LeftButton);
    });
}

void answerNextAlert(const QString &buttonName, bool tickDontShowAgain,
                     std::shared_ptr<SeenAlert> seen, int waitMs)
{
    auto *poll = new QTimer;
    poll->setInterval(10);
    QElapsedTimer waited;
    waited.start();
    QObject::connect(poll, &QTimer::timeout, poll, [=] {
        QWidget *alert = QVXCurrentAlert();
        if (!alert) {
            if (waited.elapsed() >= waitMs) {
                poll->stop();
                poll->deleteLater();
            }
            return;
        }
        poll->stop();
        poll->deleteLater();
        seen->shown = true;
        seen->title = alert->findChild<QLabel *>(QStringLiteral("title"))->text();
        seen->message = alert->findChild<QLabel *>(QStringLiteral("message"))->text();
        for (const char *name : {"otherButton", "alternateButton", "defaultButton"}) {
            if (auto *button = alert->findChild<QPushButton *>(QLatin1String(name)))
                seen->buttons << QString(button->text()).remove(QLatin1Char('&'));
        }
        auto *box = alert->findChild<QCheckBox *>(QStringLiteral("dontShowAgain"));
        seen->hadCheckBox = box != nullptr;
        if (box && tickDontShowAgain)
            tick(box);
        if (buttonName == QLatin1String("escape"))
            QTest::keyClick(alert, Qt::Key_Escape);
        else
            QTest::mouseClick(alert->findChild<QPushButton *>(buttonName), Qt::LeftButton);
    });
    poll->start();
}
