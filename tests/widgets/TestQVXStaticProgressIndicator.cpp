#include "QVXStaticProgressIndicator.h"

#include <QtTest>

namespace {

QImage picture(QWidget *widget)
{
    return widget->grab().toImage();
}

} // namespace

class TestQVXStaticProgressIndicator : public QObject
{
    Q_OBJECT

private slots:
    void animationCallsChangeNothing()
    {
        QVXStaticProgressIndicator bar;
        bar.resize(200, 20);
        bar.setRange(0, 100);
        bar.setValue(40);
        bar.show();
        QVERIFY(QTest::qWaitForWindowExposed(&bar));
        const QImage before = picture(&bar);
        bar.startAnimation(this);
        bar.setAnimationDelay(5.0 / 60.0);
        QTest::qWait(150);
        QCOMPARE(picture(&bar), before);
        bar.animate(this);
        QCOMPARE(picture(&bar), before);
        bar.stopAnimation(nullptr);
        QCOMPARE(picture(&bar), before);
        QCOMPARE(bar.value(), 40);
        // The value settings still work.
        bar.setValue(80);
        QVERIFY(picture(&bar) != before);
    }

    void emptyRangeDrawsAStillEmptyBar()
    {
        // A plain bar with an empty range shows a moving busy indicator: the reason for the class.
        QProgressBar plain;
        plain.resize(200, 20);
        plain.setRange(0, 0);
        plain.show();
        QVERIFY(QTest::qWaitForWindowExposed(&plain));

        QVXStaticProgressIndicator bar;
        bar.resize(200, 20);
        bar.setRange(0, 0);
        bar.show();
        QVERIFY(QTest::qWaitForWindowExposed(&bar));
        const QImage first = picture(&bar);
        const QImage plainFirst = picture(&plain);
        bar.startAnimation(this);
        QTest::qWait(300);
        QCOMPARE(picture(&bar), first);
        QVERIFY(picture(&plain) != plainFirst);

        // It looks like a bar at its minimum with no text.
        QVXStaticProgressIndicator empty;
        empty.resize(200, 20);
        empty.setRange(0, 100);
        empty.setValue(0);
        empty.setTextVisible(false);
        QCOMPARE(picture(&empty), first);
    }
};

QTEST_MAIN(TestQVXStaticProgressIndicator)
#include "TestQVXStaticProgressIndicator.moc"
