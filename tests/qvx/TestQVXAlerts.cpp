#include "AlertAnswers.h"
#include "QVXAlerts.h"
#include "TestEnvironment.h"
#include "UserDefaults.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QtTest>
#include <memory>

namespace {

int runQuitLikeAlert(const QString &identifier = QStringLiteral("warningQuit"))
{
    return QVXRunAlertPanelWithDontShowAgain(
        identifier, QStringLiteral("Disks are active"), QStringLiteral("They stay mounted."),
        QStringLiteral("Cancel"), QStringLiteral("Quit"), QStringLiteral("Eject All"));
}

struct SheetResult
{
    int calls = 0;
    QWidget *sheet = nullptr;
    bool sheetWasHidden = false;
    int code = 99;
    void *context = nullptr;
};

void beginCloseLikeSheet(QWidget *window, std::shared_ptr<SheetResult> result, void *context,
                         const QString &identifier = QStringLiteral("ThisDiskIsActive"))
{
    QVXBeginAlertSheetWithDontShowAgain(
        identifier, QStringLiteral("This disk is active"), QStringLiteral("Cancel"),
        QStringLiteral("Close"), QStringLiteral("Eject Now"), window,
        [result](QWidget *sheet, int code, void *contextInfo) {
            ++result->calls;
            result->sheet = sheet;
            result->sheetWasHidden = sheet && !sheet->isVisible();
            result->code = code;
            result->context = contextInfo;
        },
        context, QStringLiteral("Closing leaves it mounted."));
}

} // namespace

class TestQVXAlerts : public QObject
{
    Q_OBJECT

private slots:
    void panelAnswersTheClickedButton_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("code");
        QTest::newRow("default") << QStringLiteral("defaultButton") << 1;
        QTest::newRow("alternate") << QStringLiteral("alternateButton") << 0;
        QTest::newRow("other") << QStringLiteral("otherButton") << -1;
        QTest::newRow("escape answers default") << QStringLiteral("escape") << 1;
    }

    void panelAnswersTheClickedButton()
    {
        QFETCH(QString, button);
        QFETCH(int, code);
        TestEnvironment env;
        auto seen = std::make_shared<SeenAlert>();
        answerNextAlert(button, false, seen);
        QCOMPARE(runQuitLikeAlert(), code);
        QVERIFY(seen->shown);
        QVERIFY(seen->hadCheckBox);
        QCOMPARE(seen->title, QStringLiteral("Disks are active"));
        QCOMPARE(seen->message, QStringLiteral("They stay mounted."));
        QCOMPARE(seen->buttons, QStringList({QStringLiteral("Eject All"), QStringLiteral("Quit"),
                                             QStringLiteral("Cancel")}));
        QVERIFY(!QVXCurrentAlert());
        // Without the box ticked nothing is remembered: the alert shows again.
        auto again = std::make_shared<SeenAlert>();
        answerNextAlert(QStringLiteral("defaultButton"), false, again);
        QCOMPARE(runQuitLikeAlert(), 1);
        QVERIFY(again->shown);
    }

    void checkBoxAndMissingButtons()
    {
        TestEnvironment env;
        auto seen = std::make_shared<SeenAlert>();
        answerNextAlert(QStringLiteral("defaultButton"), false, seen);
        QCOMPARE(QVXRunAlertPanelWithDontShowAgain(QStringLiteral("plain"), QStringLiteral("T"),
                                                   QString(), QString(), QString(), QString()),
                 1);
        // An empty default title still gives a button to answer with; the others are left out.
        QCOMPARE(seen->buttons, QStringList{QStringLiteral("OK")});

        // The check box carries the English text; an alert without identifier has none.
        QApplication::processEvents();
        QVXBeginAlertSheetWithDontShowAgain(QStringLiteral("x"), QStringLiteral("T"),
                                            QStringLiteral("OK"), QString(), QString(), nullptr, {},
                                            nullptr, QString());
        QTRY_VERIFY(QVXCurrentAlert());
        auto *box = QVXCurrentAlert()->findChild<QCheckBox *>(QStringLiteral("dontShowAgain"));
        QVERIFY(box);
        QCOMPARE(box->text(), QStringLiteral("&Don't show this again")); // Alt+D ticks it
        QTest::mouseClick(
            QVXCurrentAlert()->findChild<QPushButton *>(QStringLiteral("defaultButton")),
            Qt::LeftButton);
        QTRY_VERIFY(!QVXCurrentAlert());

        auto noId = std::make_shared<SeenAlert>();
        answerNextAlert(QStringLiteral("defaultButton"), true, noId);
        QCOMPARE(QVXRunAlertPanelWithDontShowAgain(QString(), QStringLiteral("T"), QString(),
                                                   QStringLiteral("OK"), QString(), QString()),
                 1);
        QVERIFY(noId->shown);
        QVERIFY(!noId->hadCheckBox);
    }

    void silencedPanelAnswersWithoutShowing_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("code");
        QTest::newRow("alternate") << QStringLiteral("alternateButton") << 0;
        QTest::newRow("other") << QStringLiteral("otherButton") << -1;
    }

    void silencedPanelAnswersWithoutShowing()
    {
        QFETCH(QString, button);
        QFETCH(int, code);
        TestEnvironment env;
        auto first = std::make_shared<SeenAlert>();
        answerNextAlert(button, true, first);
        QCOMPARE(runQuitLikeAlert(), code);
        QVERIFY(first->shown);

        // Silenced: answers the remembered code; a guard answers "default" if it shows anyway.
        auto second = std::make_shared<SeenAlert>();
        answerNextAlert(QStringLiteral("defaultButton"), false, second, 300);
        QCOMPARE(runQuitLikeAlert(), code);
        QTest::qWait(350);
        QVERIFY(!second->shown);
        // Other identifiers are not affected.
        auto other = std::make_shared<SeenAlert>();
        answerNextAlert(QStringLiteral("alternateButton"), false, other);
        QCOMPARE(runQuitLikeAlert(QStringLiteral("somethingElse")), 0);
        QVERIFY(other->shown);

        // The choice survives a restart: a fresh settings object on the same file.
        UserDefaults::standard().setStorageFile(env.path(QStringLiteral("elsewhere.ini")));
        auto elsewhere = std::make_shared<SeenAlert>();
        answerNextAlert(QStringLiteral("defaultButton"), false, elsewhere);
        QCOMPARE(runQuitLikeAlert(), 1);
        QVERIFY(elsewhere->shown);
        UserDefaults::standard().setStorageFile(env.settingsFile());
        QSettings reread(env.settingsFile(), QSettings::IniFormat);
        QCOMPARE(reread.value(QStringLiteral("QVXDontShowAgain/warningQuit")).toInt(), code);
        auto third = std::make_shared<SeenAlert>();
        answerNextAlert(QStringLiteral("defaultButton"), false, third, 300);
        QCOMPARE(runQuitLikeAlert(), code);
        QTest::qWait(350);
        QVERIFY(!third->shown);

        // Reset: the alert shows again.
        QVXResetDontShowAgainChoices();
        auto fourth = std::make_shared<SeenAlert>();
        answerNextAlert(QStringLiteral("alternateButton"), false, fourth);
        QCOMPARE(runQuitLikeAlert(), 0);
        QVERIFY(fourth->shown);
    }

    void cancellingDefaultIsNeverRemembered()
    {
        TestEnvironment env;
        auto first = std::make_shared<SeenAlert>();
        answerNextAlert(QStringLiteral("defaultButton"), true, first);
        QCOMPARE(runQuitLikeAlert(), 1);
        QVERIFY(first->shown);
        QVERIFY(!UserDefaults::standard()
                     .objectForKey(QStringLiteral("QVXDontShowAgain/warningQuit"))
                     .isValid());
        // The user can still choose another answer next time.
        auto second = std::make_shared<SeenAlert>();
        answerNextAlert(QStringLiteral("alternateButton"), false, second);
        QCOMPARE(runQuitLikeAlert(), 0);
        QVERIFY(second->shown);
    }

    void escapeIsNeverRemembered()
    {
        TestEnvironment env;
        auto seen = std::make_shared<SeenAlert>();
        answerNextAlert(QStringLiteral("escape"), true, seen);
        QCOMPARE(runQuitLikeAlert(), 1);
        QVERIFY(!UserDefaults::standard()
                     .objectForKey(QStringLiteral("QVXDontShowAgain/warningQuit"))
                     .isValid());
    }

    void unknownStoredValueShowsTheAlert()
    {
        TestEnvironment env;
        UserDefaults::standard().setObject(QStringLiteral("7"),
                                           QStringLiteral("QVXDontShowAgain/warningQuit"));
        auto seen = std::make_shared<SeenAlert>();
        answerNextAlert(QStringLiteral("otherButton"), false, seen);
        QCOMPARE(runQuitLikeAlert(), -1);
        QVERIFY(seen->shown);
    }

    void sheetIsWindowModalAndReportsAfterHiding_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("code");
        QTest::newRow("default") << QStringLiteral("defaultButton") << 1;
        QTest::newRow("alternate") << QStringLiteral("alternateButton") << 0;
        QTest::newRow("other") << QStringLiteral("otherButton") << -1;
    }

    void sheetIsWindowModalAndReportsAfterHiding()
    {
        QFETCH(QString, button);
        QFETCH(int, code);
        TestEnvironment env;
        QWidget window;
        window.resize(400, 300);
        window.show();
        auto result = std::make_shared<SheetResult>();
        int context = 0;
        beginCloseLikeSheet(&window, result, &context);
        // Returns at once, with the sheet up on the window.
        QCOMPARE(result->calls, 0);
        QWidget *sheet = QVXCurrentAlert();
        QVERIFY(sheet);
        QCOMPARE(sheet->parentWidget(), &window);
        QCOMPARE(sheet->windowModality(), Qt::WindowModal);
        QTRY_VERIFY(sheet->isVisible());
        QTest::mouseClick(sheet->findChild<QPushButton *>(button), Qt::LeftButton);
        QTRY_COMPARE(result->calls, 1);
        QCOMPARE(result->code, code);
        QCOMPARE(result->sheet, sheet);
        QVERIFY(result->sheetWasHidden);
        QCOMPARE(result->context, static_cast<void *>(&context));
        QTRY_VERIFY(window.findChildren<QDialog *>().isEmpty()); // deleted afterwards
    }

    void silencedSheetAnswersOnTheNextPass()
    {
        TestEnvironment env;
        QWidget window;
        window.show();
        auto first = std::make_shared<SheetResult>();
        beginCloseLikeSheet(&window, first, nullptr);
        QTRY_VERIFY(QVXCurrentAlert());
        tick(QVXCurrentAlert()->findChild<QCheckBox *>(QStringLiteral("dontShowAgain")));
        QTest::mouseClick(
            QVXCurrentAlert()->findChild<QPushButton *>(QStringLiteral("otherButton")),
            Qt::LeftButton);
        QTRY_COMPARE(first->calls, 1);

        auto second = std::make_shared<SheetResult>();
        int context = 0;
        beginCloseLikeSheet(&window, second, &context);
        QVERIFY(!QVXCurrentAlert());
        QCOMPARE(second->calls, 0); // not from inside the call
        QTRY_COMPARE(second->calls, 1);
        QCOMPARE(second->sheet, nullptr);
        QCOMPARE(second->code, -1);
        QCOMPARE(second->context, static_cast<void *>(&context));

        // A silenced sheet whose window is gone before the next pass calls nothing.
        auto third = std::make_shared<SheetResult>();
        auto doomed = std::make_unique<QWidget>();
        beginCloseLikeSheet(doomed.get(), third, nullptr);
        doomed.reset();
        QTest::qWait(50);
        QCOMPARE(third->calls, 0);
    }

    void windowDestroyedUnderTheSheet()
    {
        TestEnvironment env;
        auto result = std::make_shared<SheetResult>();
        auto window = std::make_unique<QWidget>();
        window->show();
        beginCloseLikeSheet(window.get(), result, nullptr);
        QTRY_VERIFY(QVXCurrentAlert());
        window.reset();
        QTest::qWait(50);
        QVERIFY(!QVXCurrentAlert());
        QCOMPARE(result->calls, 0);
    }

    void callbackMayDestroyTheWindow()
    {
        TestEnvironment env;
        auto *window = new QWidget;
        window->show();
        QPointer<QWidget> watch(window);
        int calls = 0;
        QVXBeginAlertSheet(
            QStringLiteral("Close?"), QStringLiteral("Cancel"), QStringLiteral("Close"), QString(),
            window,
            [&calls, window](QWidget *, int code, void *) {
                ++calls;
                if (code == 0)
                    delete window;
            },
            nullptr, QString());
        QTRY_VERIFY(QVXCurrentAlert());
        QVERIFY(!QVXCurrentAlert()->findChild<QCheckBox *>(QStringLiteral("dontShowAgain")));
        QVERIFY(!QVXCurrentAlert()->findChild<QPushButton *>(QStringLiteral("otherButton")));
        QTest::mouseClick(
            QVXCurrentAlert()->findChild<QPushButton *>(QStringLiteral("alternateButton")),
            Qt::LeftButton);
        QTRY_COMPARE(calls, 1);
        QTRY_VERIFY(!watch);
    }
};

QTEST_MAIN(TestQVXAlerts)
#include "TestQVXAlerts.moc"
