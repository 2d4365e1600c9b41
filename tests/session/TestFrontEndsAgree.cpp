// The window and vellumarctl on one session: each bad request is refused by both before
// anything is made, with the same sentence; a kept folder that another disk uses is one of them.
#include "../window/WindowTestSupport.h"
#include "KeptFolder.h"
#include "RememberedDisks.h"
#include "TestEnvironment.h"
#include "VellumarCtl.h"

#include <QCheckBox>
#include <QDir>
#include <QtTest>

class TestFrontEndsAgree : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_env = std::make_unique<TestEnvironment>();
        CreateWindowCtrl::setMachineMemorySource([] {
            return MachineMemory{8ll << 20, 6ll << 20, 2ll << 20};
        });
        QVXResetDontShowAgainChoices();
    }

    void cleanup()
    {
        CreateWindowCtrl::setMachineMemorySource({});
        m_env.reset();
    }

    void badRequestsGetOneSentence_data()
    {
        QTest::addColumn<QString>("size");
        QTest::addColumn<QString>("mountPath");
        QTest::addColumn<QString>("kept");
        QTest::newRow("not a size") << "12abc"
                                    << "@disk"
                                    << "";
        QTest::newRow("too small") << "100"
                                   << "@disk"
                                   << "";
        QTest::newRow("more than the helper grants") << "7G"
                                                     << "@disk"
                                                     << "";
        QTest::newRow("relative mount path") << "4096"
                                             << "disks/one"
                                             << "";
        QTest::newRow("system folder") << "4096"
                                       << "/usr/local"
                                       << "";
        QTest::newRow("kept folder of another disk") << "4096"
                                                     << "@disk"
                                                     << "@taken";
        QTest::newRow("kept folder inside another's") << "4096"
                                                      << "@disk"
                                                      << "@taken/inner";
    }

    void badRequestsGetOneSentence()
    {
        QFETCH(QString, size);
        QFETCH(QString, mountPath);
        QFETCH(QString, kept);
        const QString taken = m_env->path(QStringLiteral("taken"));
        RememberedDisks::remember({QStringLiteral("64M"), QStringLiteral("Work"),
                                   m_env->path(QStringLiteral("work")), taken, QString()});
        mountPath.replace(QStringLiteral("@disk"), m_env->path(QStringLiteral("disk")));
        kept.replace(QStringLiteral("@taken"), taken);

        WorkingTools tools;
        // The command line.
        QStringList arguments{QStringLiteral("create"), QStringLiteral("--size"), size,
                              QStringLiteral("--mount"), mountPath};
        if (!kept.isEmpty())
            arguments << QStringLiteral("--keep") << kept;
        QString out;
        QString err;
        QTextStream outStream(&out);
        QTextStream errStream(&err);
        QCOMPARE(runVellumarCtl(arguments, outStream, errStream), 2);
        errStream.flush();
        QVERIFY2(err.startsWith(QStringLiteral("vellumarctl: ")) &&
                     err.count(QLatin1Char('\n')) == 1,
                 qPrintable(err));
        const QString ctlSentence = err.mid(13).trimmed();

        // The window.
        WindowUnderTest w;
        w.outlet<QLineEdit>("diskSizeField")->setText(size);
        w.outlet<QLineEdit>("pathField")->setText(mountPath);
        if (!kept.isEmpty()) {
            w.outlet<QCheckBox>("keepCheck")->setChecked(true);
            w.outlet<QLineEdit>("keptFolderField")->setText(kept);
        }
        w.ctrl->createDisk();
        QTRY_VERIFY(QVXCurrentAlert());
        const QString windowSentence =
            QVXCurrentAlert()->findChild<QLabel *>(QStringLiteral("message"))->text();
        QVERIFY(clickAlertButton("defaultButton"));

        QCOMPARE(windowSentence, ctlSentence);
        QVERIFY(!w.ctrl->disk());
        QVERIFY(tools.tools.calls().isEmpty());
        QVERIFY(!QFileInfo::exists(m_env->path(QStringLiteral("disk"))));
        if (!kept.isEmpty())
            QVERIFY2(ctlSentence.contains(QStringLiteral("“Work”")), qPrintable(ctlSentence));
    }

    void theDefaultKeptFolderIsNotAnotherDisks()
    {
        RememberedDisks::remember({QStringLiteral("64M"), QStringLiteral("Work"),
                                   m_env->path(QStringLiteral("work")),
                                   KeptFolder::defaultFolder(QStringLiteral("Work")), QString()});
        WorkingTools tools;
        WindowUnderTest w;
        w.outlet<QCheckBox>("keepCheck")->setChecked(true);
        QTest::keyClicks(w.outlet<QLineEdit>("diskNameField"), QStringLiteral("Work"));
        QCOMPARE(w.text("keptFolderField"), KeptFolder::defaultFolder(QStringLiteral("Work 2")));
    }

private:
    std::unique_ptr<TestEnvironment> m_env;
};

QTEST_MAIN(TestFrontEndsAgree)
#include "TestFrontEndsAgree.moc"
