// Where the running copy's lock and socket live: named after the list, in a folder that only
// this user can enter.

#include "session/RunningCopy.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <array>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

using namespace lintervale;

class LockPlaceTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        m_Dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_Dir->isValid());
    }
    void cleanup() { m_Dir.reset(); }
    void theLockIsNamedAfterTheList();
    void onlyAPrivateFolderHoldsTheLock();

private:
    std::unique_ptr<QTemporaryDir> m_Dir;
};

void LockPlaceTest::theLockIsNamedAfterTheList() {
    // One list folder reached by a link, through "..", and not made yet.
    QVERIFY(QDir().mkpath(m_Dir->filePath("home/data/Lintervale")));
    QVERIFY(QFile::link(m_Dir->filePath("home"), m_Dir->filePath("linked")));
    const QString list = m_Dir->filePath("home/data/Lintervale/Lintervale.dat");
    struct Case {
        const char* Other;
        bool Same;
    };
    constexpr std::array kCases{
        Case{.Other = "home/data/Lintervale/Lintervale.dat", .Same = true},
        Case{.Other = "linked/data/Lintervale/Lintervale.dat", .Same = true},
        Case{.Other = "home/data/../data/Lintervale/Lintervale.dat", .Same = true},
        Case{.Other = "other/data/Lintervale/Lintervale.dat", .Same = false},
        Case{.Other = "home/data2/Lintervale/Lintervale.dat", .Same = false},
    };
    for (const Case& c : kCases) {
        QCOMPARE(RunningCopy::nameFor(m_Dir->filePath(c.Other)) == RunningCopy::nameFor(list),
                 c.Same);
    }
    // A folder made later keeps the name it had before.
    const QString later = m_Dir->filePath("later/Lintervale/Lintervale.dat");
    const QString before = RunningCopy::nameFor(later);
    QVERIFY(QDir().mkpath(m_Dir->filePath("later/Lintervale")));
    QCOMPARE(RunningCopy::nameFor(later), before);

    // Two program files of one list: the later one finds the lock taken; another list runs.
    RunningCopy first(list);
    QVERIFY(first.tryToRun());
    QVERIFY(!RunningCopy(m_Dir->filePath("linked/data/Lintervale/Lintervale.dat")).tryToRun());
    QVERIFY(RunningCopy(m_Dir->filePath("other/data/Lintervale/Lintervale.dat")).tryToRun());
}

void LockPlaceTest::onlyAPrivateFolderHoldsTheLock() {
    const QString runtime = m_Dir->filePath("runtime");
    const QString open = m_Dir->filePath("open");
    const QString target = m_Dir->filePath("target");
    const QString file = m_Dir->filePath("file");
    for (const QString& folder : {runtime, open, target}) {
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(::chmod(QFile::encodeName(folder).constData(), 0700) == 0);
    }
    QVERIFY(::chmod(QFile::encodeName(open).constData(), 0755) == 0);
    QVERIFY(QFile::link(target, m_Dir->filePath("link")));
    QFile plain(file);
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.close();
    const QString missing = m_Dir->filePath("missing");
    struct Case {
        QString Runtime;
        QString Fallback;
        qsizetype NameLength;
        QString Folder; // empty: refused
        const char* Says;
    };
    const std::array kCases{
        Case{runtime, open, 10, runtime, ""},
        // The runtime folder is missing, too long or open to others: the fallback, made.
        Case{"", missing, 10, missing, ""},
        Case{runtime, missing, 200, missing, ""},
        Case{open, missing, 10, missing, ""},
        // A fallback that is not this user's private folder is refused, never shared.
        Case{"", open, 30, "", "mode 755"},
        Case{"", m_Dir->filePath("link"), 30, "", "symbolic link"},
        Case{"", file, 30, "", "not a folder"},
        Case{"", m_Dir->filePath("file/below"), 30, "", "cannot be made"},
    };
    for (const Case& c : kCases) {
        const RunningCopy::Place place = RunningCopy::placeFor(c.Runtime, c.Fallback, c.NameLength);
        QCOMPARE(place.Folder, c.Folder);
        QVERIFY2(place.Failure.contains(c.Says), qPrintable(place.Failure));
        QCOMPARE(place.Failure.isEmpty(), !c.Folder.isEmpty());
        if (!c.Folder.isEmpty()) {
            QVERIFY(place.Failure.isEmpty());
            struct stat info {};
            QCOMPARE(::lstat(QFile::encodeName(c.Folder).constData(), &info), 0);
            QCOMPARE(info.st_mode & 077, 0u);
        } else {
            QVERIFY(place.Failure.contains(c.Fallback));
        }
    }
}

QTEST_MAIN(LockPlaceTest)
#include "LockPlaceTest.moc"
