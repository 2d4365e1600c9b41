// The desktop's places: a disk's folder goes into the user's bookmarks file and out again, and
// nothing else in that file is ever changed or lost.
#include "DesktopPlaces.h"
#include "Settings.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

class TestDesktopPlaces : public QObject
{
    Q_OBJECT

private:
    static QByteArray bookmarks()
    {
        QFile file(DesktopPlaces::bookmarksFile());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static void writeBookmarks(const QByteArray &contents)
    {
        QDir().mkpath(QFileInfo(DesktopPlaces::bookmarksFile()).path());
        QFile file(DesktopPlaces::bookmarksFile());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(contents);
    }

private slots:
    // A place is added after the user's own, with its label and its path encoded, once only,
    // and taken away again leaving the file as it was, to the byte.
    void aPlaceComesAndGoesAmongTheUsersOwn()
    {
        TestEnvironment env;
        QVERIFY(DesktopPlaces::bookmarksFile().startsWith(env.home()));
        // Another program's line that is not UTF-8 is kept as it is, too.
        const QByteArray users = "file:///home/u/Projects Projects\nsftp://host/srv Caf\xe9\n";
        writeBookmarks(users);
        QVERIFY(DesktopPlaces::add(QStringLiteral("/media/u/Scratch 2"),
                                   QStringLiteral("Scratch  2\n")));
        QVERIFY(DesktopPlaces::add(QStringLiteral("/media/u/Scratch 2/"), QStringLiteral("x")));
        QCOMPARE(bookmarks(), users + "file:///media/u/Scratch%202 Scratch 2\n");
        QVERIFY(DesktopPlaces::remove(QStringLiteral("/media/u/Scratch 2")));
        QCOMPARE(bookmarks(), users);
        QVERIFY(Settings::desktopPlaces().isEmpty());

        // A file whose last line has no newline keeps that line whole.
        writeBookmarks("file:///data");
        QVERIFY(DesktopPlaces::add(QStringLiteral("/media/u/A"), QString()));
        QCOMPARE(bookmarks(), QByteArray("file:///data\nfile:///media/u/A\n"));
    }

    // A folder the user bookmarked themselves stays when the disk on it goes; a folder we never
    // put there is not looked for; a missing file is made with its folder.
    void onlyOurOwnLineIsTakenAway()
    {
        TestEnvironment env;
        QVERIFY(DesktopPlaces::remove(QStringLiteral("/media/u/Nothing")));
        QVERIFY(!QFileInfo::exists(DesktopPlaces::bookmarksFile()));
        QVERIFY(DesktopPlaces::add(QStringLiteral("/media/u/Mine"), QStringLiteral("Mine")));
        QCOMPARE(bookmarks(), QByteArray("file:///media/u/Mine Mine\n"));

        writeBookmarks("file:///media/u/Stick My stick\n");
        QVERIFY(DesktopPlaces::add(QStringLiteral("/media/u/Stick"), QStringLiteral("Stick")));
        QVERIFY(DesktopPlaces::remove(QStringLiteral("/media/u/Stick")));
        QCOMPARE(bookmarks(), QByteArray("file:///media/u/Stick My stick\n"));
    }
};

QTEST_GUILESS_MAIN(TestDesktopPlaces)
#include "TestDesktopPlaces.moc"
