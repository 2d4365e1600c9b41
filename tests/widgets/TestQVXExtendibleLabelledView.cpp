#include "QVXExtendibleLabelledView.h"

#include <QLabel>
#include <QMainWindow>
#include <QToolButton>
#include <QtTest>
#include <memory>

namespace {

struct Notice
{
    QString what;
    int windowHeight;
    bool contentVisible;
};

class RecordingDelegate : public QVXExtendibleLabelledViewDelegate
{
public:
    explicit RecordingDelegate(QWidget *window) : m_window(window) {}
    QList<Notice> notices;
    QWidget *content = nullptr;

    void extendibleLabelledViewWillOpen(QVXExtendibleLabelledView *view) override
    {
        notices << Notice{QStringLiteral("open"), m_window->height(),
                          view->contentView()->isVisible()};
    }
    void extendibleLabelledViewWillClose(QVXExtendibleLabelledView *view) override
    {
        notices << Notice{QStringLiteral("close"), m_window->height(),
                          view->contentView()->isVisible()};
    }

private:
    QWidget *m_window;
};

// A window laid out the way an interface file would: a strip with its triangle, views above,
// level with and just below the strip's bottom edge, one at the bottom, and the content view
// placed somewhere in the window by the designer.
struct DiskLikeWindow
{
    QMainWindow window;
    QWidget *central = new QWidget;
    QVXExtendibleLabelledView *strip = nullptr;
    QToolButton *triangle = nullptr;
    QWidget *content = nullptr;
    QLabel *above = nullptr;
    QLabel *level = nullptr;
    QLabel *lower = nullptr;
    QLabel *bottom = nullptr;

    DiskLikeWindow()
    {
        window.setCentralWidget(central);
        above = place(new QLabel(QStringLiteral("above"), central), QRect(10, 10, 100, 20));
        strip = new QVXExtendibleLabelledView(central);
        strip->setGeometry(10, 40, 300, 20); // bottom edge at 60
        triangle = new QToolButton(strip);
        triangle->setArrowType(Qt::RightArrow);
        triangle->setGeometry(0, 0, 20, 20);
        strip->setTriangleButton(triangle);
        level = place(new QLabel(QStringLiteral("level"), central), QRect(320, 30, 60, 30));
        lower = place(new QLabel(QStringLiteral("lower"), central), QRect(320, 31, 60, 30));
        bottom = place(new QLabel(QStringLiteral("bottom"), central), QRect(10, 200, 100, 30));
        content = new QLabel(QStringLiteral("content"), central);
        content->setGeometry(0, 120, 280, 100);
        strip->setContentView(content);
        window.resize(400, 260);
    }

    static QLabel *place(QLabel *label, const QRect &frame)
    {
        label->setGeometry(frame);
        return label;
    }

    bool contentTakenOut() const
    {
        return !content->isVisible() && content->parentWidget() != central &&
               !central->children().contains(content);
    }

    void checkClosedLayout() const
    {
        QCOMPARE(above->geometry(), QRect(10, 10, 100, 20));
        QCOMPARE(strip->geometry(), QRect(10, 40, 300, 20));
        QCOMPARE(level->geometry(), QRect(320, 30, 60, 30));
        QCOMPARE(lower->geometry(), QRect(320, 31, 60, 30));
        QCOMPARE(bottom->geometry(), QRect(10, 200, 100, 30));
    }
};

} // namespace

class TestQVXExtendibleLabelledView : public QObject
{
    Q_OBJECT

private slots:
    void openAndCloseMoveTheRightViews_data()
    {
        QTest::addColumn<bool>("withDelegate");
        QTest::newRow("delegate") << true;
        QTest::newRow("no delegate") << false;
    }

    void openAndCloseMoveTheRightViews()
    {
        QFETCH(bool, withDelegate);
        DiskLikeWindow w;
        RecordingDelegate delegate(&w.window);
        if (withDelegate)
            w.strip->setDelegate(&delegate);
        w.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w.window));

        // Button off at load: told to close, nothing moves, the content is taken out.
        w.strip->awakeFromNib();
        QCOMPARE(w.window.height(), 260);
        QVERIFY(w.contentTakenOut());
        w.checkClosedLayout();
        QCOMPARE(w.strip->moveOffset(), 0.0f);

        // Opening with 100-point content: the window grows by 102 downward.
        const QPoint topLeft = w.window.geometry().topLeft();
        const int centralBefore = w.central->height();
        QTest::mouseClick(w.triangle, Qt::LeftButton);
        QVERIFY(w.strip->isOpen());
        QCOMPARE(w.triangle->arrowType(), Qt::DownArrow);
        QCOMPARE(w.window.height(), 362);
        QCOMPARE(w.window.geometry().topLeft(), topLeft);
        QCOMPARE(w.strip->moveOffset(), 102.0f);
        QCOMPARE(w.content->parentWidget(), w.central);
        QVERIFY(w.content->isVisible());
        QCOMPARE(w.content->geometry(), QRect(10, 62, 280, 100));
        QCOMPARE(w.above->geometry(), QRect(10, 10, 100, 20));
        QCOMPARE(w.level->geometry(), QRect(320, 30, 60, 30));  // level with the strip: stays
        QCOMPARE(w.lower->geometry(), QRect(320, 133, 60, 30)); // one pixel lower: moves
        QCOMPARE(w.bottom->geometry(), QRect(10, 302, 100, 30));
        QTRY_COMPARE(w.central->height(), centralBefore + 102);

        // Closing shrinks by the stored 102 even though the content is now 50 high.
        w.content->resize(280, 50);
        QTest::mouseClick(w.triangle, Qt::LeftButton);
        QVERIFY(!w.strip->isOpen());
        QCOMPARE(w.window.height(), 260);
        QVERIFY(w.contentTakenOut());
        w.checkClosedLayout();

        if (withDelegate) {
            // Each notice came before anything changed.
            QCOMPARE(delegate.notices.size(), 3);
            QCOMPARE(delegate.notices[0].what, QStringLiteral("close"));
            QCOMPARE(delegate.notices[1].what, QStringLiteral("open"));
            QCOMPARE(delegate.notices[1].windowHeight, 260);
            QVERIFY(!delegate.notices[1].contentVisible);
            QCOMPARE(delegate.notices[2].what, QStringLiteral("close"));
            QCOMPARE(delegate.notices[2].windowHeight, 362);
            QVERIFY(delegate.notices[2].contentVisible);
        }

        // Reopened, it uses the content's present height.
        QTest::mouseClick(w.triangle, Qt::LeftButton);
        QCOMPARE(w.window.height(), 312);
        QCOMPARE(w.bottom->geometry(), QRect(10, 252, 100, 30));
    }

    void awakeWithTheButtonOnOpens()
    {
        DiskLikeWindow w;
        {
            const QSignalBlocker quiet(w.triangle);
            w.triangle->setChecked(true);
        }
        w.strip->awakeFromNib();
        w.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w.window));
        QCOMPARE(w.window.height(), 362);
        QCOMPARE(w.content->geometry(), QRect(10, 62, 280, 100));
        QVERIFY(w.content->isVisible());
        QCOMPARE(w.lower->y(), 133);
    }

    void repeatedTogglesDoNotAddUp()
    {
        DiskLikeWindow w;
        w.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w.window));
        w.triangle->setChecked(true);
        w.strip->toggle(w.triangle);
        QCOMPARE(w.window.height(), 362);
        QCOMPARE(w.bottom->y(), 302);
        w.triangle->setChecked(false);
        w.strip->toggle(w.triangle);
        QCOMPARE(w.window.height(), 260);
        QCOMPARE(w.bottom->y(), 200);
        QVERIFY(w.contentTakenOut());
    }

    void fixedSizeWindowFollows()
    {
        DiskLikeWindow w;
        w.window.setFixedSize(400, 260);
        w.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w.window));
        w.triangle->setChecked(true);
        QCOMPARE(w.window.height(), 362);
        QCOMPARE(w.window.minimumHeight(), 362);
        QCOMPARE(w.window.maximumHeight(), 362);
        w.triangle->setChecked(false);
        QCOMPARE(w.window.height(), 260);
        QCOMPARE(w.window.maximumHeight(), 260);
    }

    void contentStaysOwnedWhileClosed()
    {
        auto w = std::make_unique<DiskLikeWindow>();
        w->strip->awakeFromNib();
        QPointer<QWidget> content(w->content);
        QVERIFY(w->contentTakenOut());
        QVERIFY(content);
        w.reset();
        QVERIFY(!content); // went with the window
    }
};

QTEST_MAIN(TestQVXExtendibleLabelledView)
#include "TestQVXExtendibleLabelledView.moc"
