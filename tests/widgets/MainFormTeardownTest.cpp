// The main window's end: nothing that uses the list outlives it.

#include "network/TrackerFetcher.h"
#include "tests/list/RecordingHost.h"
#include "widgets/EditForm.h"
#include "widgets/GridModel.h"
#include "widgets/GridView.h"
#include "widgets/MainForm.h"
#include "widgets/MessageBoxes.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>

using namespace lintervale;

static void InitResources() {
    Q_INIT_RESOURCE(lintervale);
}

class MainFormTeardownTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        InitResources();
        MessageBoxes::setTestMode(true);
    }
    void theListsUsersGoBeforeTheList_data();
    void theListsUsersGoBeforeTheList();
};

void MainFormTeardownTest::theListsUsersGoBeforeTheList_data() {
    QTest::addColumn<bool>("Batch");
    QTest::addColumn<bool>("Fetch");
    QTest::newRow("idle") << false << false;
    QTest::newRow("during a batch") << true << false;
    QTest::newRow("during a fetch") << false << true;
}

void MainFormTeardownTest::theListsUsersGoBeforeTheList() {
    QFETCH(bool, Batch);
    QFETCH(bool, Fetch);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    auto* form = new MainForm(
        {dir.filePath("Lintervale.dat"), dir.filePath("Lintervale.conf"), dir.filePath("x")});
    form->initialize({});
    form->show();
    QStringList files;
    for (int i = 0; i < 30; ++i) {
        files.append(QString::fromStdString(
            lintervale::testing::WriteTorrent(dir.path().toStdString(), "t" + std::to_string(i))));
    }
    form->AddFiles(files.mid(0, 3));
    QTRY_VERIFY_WITH_TIMEOUT(!form->adding(), 20000);
    if (Batch) {
        form->adder().setSliceMilliseconds(0);
        form->AddFiles(files.mid(3));
        QVERIFY(form->adding());
    }
    if (Fetch) {
        form->Fetcher().setService("http://127.0.0.1:1", "nowhere");
        form->List().SelectAll();
        form->Fetcher().fetchSelected();
    }

    // Each of them, as it goes, finds the window still whole and its list still there.
    QList<QObject*> users = {form->findChild<GridModel*>(), form->findChild<GridView*>(),
                             form->findChild<EditForm*>(), form->findChild<TrackerFetcher*>(),
                             form->findChild<QUndoStack*>()};
    int gone = 0;
    for (QObject* user : users) {
        QVERIFY(user != nullptr);
        const QByteArray name = user->metaObject()->className();
        connect(user, &QObject::destroyed, this, [form, name, &gone] {
            QVERIFY2(qobject_cast<MainForm*>(form) != nullptr, name.constData());
            QCOMPARE(form->List().Grid().Cell(TTorrentGrid::ColName, 0), std::string("Torrent"));
            ++gone;
        });
    }
    delete form;
    QCOMPARE(gone, users.size());
}

QTEST_MAIN(MainFormTeardownTest)
#include "MainFormTeardownTest.moc"
