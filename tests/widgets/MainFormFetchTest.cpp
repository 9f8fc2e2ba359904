// Fetching rows' contents in the window, from seeds on the loopback interface: the row filled
// and its torrent kept, undo, the privacy question, the time limit, stopping, fetching added
// links, and closing while a fetch runs.

#include "fetch/FetchModule.h"
#include "metainfo/TorrentFile.h"
#include "store/TorrentStore.h"
#include "tests/fetch/LoopbackSeeder.h"
#include "tests/widgets/FormTestBase.h"
#include "widgets/FetchSettingsDialog.h"
#include "widgets/KeptTorrents.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QSpinBox>
#include <QUndoStack>

using namespace lintervale;
using namespace lintervale::testing;
using G = TTorrentGrid;

namespace {

// A hash that no peer has.
const QString kUnknownLink =
    "magnet:?xt=urn:btih:0123456789abcdef0123456789abcdef01234567&dn=Nobody";

} // namespace

class MainFormFetchTest : public FormTestBase {
    Q_OBJECT
private slots:
    void initTestCase() { InitFormResources(); }
    void init() {
        setUpForm();
        // The build's module, kept on the loopback interface.
        m_Paths.FetchSession = [](const TFetchSettings&, TFetchHandler Handler, TMessage& Error) {
            return MakeFetchSession(LoopbackFetchSettings(), std::move(Handler), Error,
                                    LINTERVALE_FETCH_MODULE);
        };
        m_Form.reset();
        m_Form = makeForm();
    }
    void cleanup() { tearDownForm(); }

    void fetchedContentsFillTheRowAndAreKept();
    void thePrivacyQuestionCanBeDeclined();
    void aFetchEndsAtTheTimeLimitAndTheRowStays();
    void stoppingEndsEveryFetch();
    void addedLinksAreFetchedWhenTheUserWantsIt();
    void closingWhileFetchingEndsPromptlyAndKeepsTheList();
    void theSettingsDialogKeepsItsOptions();

private:
    // The options a user who has read the privacy note has, with Extra over them.
    void writeFetchOptions(std::initializer_list<std::pair<const char*, int>> Extra = {}) {
        QSettings settings(m_Paths.SettingsFile, QSettings::IniFormat);
        settings.setValue("FetchPrivacyAccepted", 1);
        for (const auto& [key, value] : Extra) {
            settings.setValue(key, value);
        }
        settings.sync();
        m_Form.reset();
        m_Form = makeForm();
    }
    void paste(const QString& Text) {
        m_Form->adder().addLinkText(Text);
        waitForAdds();
    }
    QString cell(int Column, int Row = 1) {
        return QString::fromStdString(m_Form->List().Grid().Cell(Column, Row));
    }
    QAction* action(const char* Name) { return child<QAction>(Name); }
};

void MainFormFetchTest::fetchedContentsFillTheRowAndAreKept() {
    struct Case {
        TTorrentKind Kind;
        int Files;
        const char* FilesCell;
    };
    for (const Case& c :
         std::initializer_list<Case>{{TTorrentKind::V1, 1, "1"}, {TTorrentKind::Hybrid, 3, "3"}}) {
        const TLoopbackSeeder seeder(c.Kind, c.Files, "Seeded album");
        // The link names the torrent otherwise than its contents do.
        paste(QString::fromStdString(seeder.Link())
                  .replace(QRegularExpression("dn=[^&]*"), "dn=From%20the%20link"));
        QCOMPARE(cell(G::ColName), QString("From the link"));
        QCOMPARE(cell(G::ColFiles), QString());
        MessageBoxes::setNextAnswer(QMessageBox::Yes); // the privacy question, the first time
        action("FetchContents")->trigger();
        QVERIFY(action("StopFetching")->isEnabled());
        QTRY_COMPARE_WITH_TIMEOUT(cell(G::ColFiles), QString(c.FilesCell), 60000);
        QCOMPARE(cell(G::ColName), QString("Seeded album"));
        QVERIFY(!cell(G::ColSize).isEmpty());
        QVERIFY(!action("StopFetching")->isEnabled());
        QVERIFY2(status().contains("Seeded album"), qPrintable(status()));

        // The kept torrent has the link's hash, and the row's trackers stay.
        const TTorrentStore store(KeptTorrents::folderFor(m_Paths.ListFile).toStdString());
        const std::string hash = cell(G::ColHash).toStdString();
        QTRY_VERIFY(store.Has(hash)); // written by the store's own thread
        TTorrentFile kept;
        const std::string bytes = store.Read(hash);
        QVERIFY(kept.Load(bytes));
        QCOMPARE(kept.Hash(), hash);

        // One undoable step: the row as the link made it, and back.
        QCOMPARE(m_Form->undoStack().undoText(), QString("Fetch contents"));
        m_Form->undoStack().undo();
        QCOMPARE(cell(G::ColName), QString("From the link"));
        QCOMPARE(cell(G::ColFiles), QString());
        m_Form->undoStack().redo();
        QCOMPARE(cell(G::ColName), QString("Seeded album"));

        // A row whose torrent is kept is not fetched again.
        action("FetchContents")->trigger();
        QVERIFY(status().startsWith("Nothing to fetch"));
        m_Form->List().ClearRows();
    }
    // The privacy question came once, and its Yes is kept with the options.
    QCOMPARE(MessageBoxes::shown().size(), 1);
    QCOMPARE(SettingsStore(m_Paths.SettingsFile).fetchOptions().PrivacyAccepted, true);
}

void MainFormFetchTest::thePrivacyQuestionCanBeDeclined() {
    paste(kUnknownLink);
    action("FetchContents")->trigger(); // the box's default answer is No
    QCOMPARE(MessageBoxes::shown().size(), 1);
    QVERIFY(MessageBoxes::shown().at(0).contains("IP address"));
    QCOMPARE(status(), QString("Nothing was fetched."));
    QCOMPARE(m_Form->findChild<QAction*>("StopFetching")->isEnabled(), false);
    QCOMPARE(SettingsStore(m_Paths.SettingsFile).fetchOptions().PrivacyAccepted, false);
    // Asked again next time.
    action("FetchContents")->trigger();
    QCOMPARE(MessageBoxes::shown().size(), 2);
}

void MainFormFetchTest::aFetchEndsAtTheTimeLimitAndTheRowStays() {
    writeFetchOptions({{"FetchTimeLimit", 1}});
    paste(kUnknownLink);
    action("FetchContents")->trigger();
    QVERIFY(cell(G::ColFiles).isEmpty());
    const QModelIndex files =
        child<QAbstractItemView>("StringGrid1")->model()->index(0, G::ColFiles - 1);
    QVERIFY(files.data().toString().startsWith("Fetching"));
    QTRY_VERIFY_WITH_TIMEOUT(!action("StopFetching")->isEnabled(), 30000);
    QCOMPARE(status(), QString("\"Nobody\": no peer sent the contents within 1 second"));
    QCOMPARE(cell(G::ColName), QString("Nobody"));
    QCOMPARE(files.data().toString(), QString());
    QVERIFY(m_Form->undoStack().undoText() != "Fetch contents");
    QVERIFY(MessageBoxes::shown().isEmpty());
}

void MainFormFetchTest::stoppingEndsEveryFetch() {
    writeFetchOptions();
    paste(kUnknownLink + "\nmagnet:?xt=urn:btih:" + QString(40, 'e'));
    m_Form->List().SelectAll();
    action("FetchContents")->trigger();
    QCOMPARE(status(), QString("Fetching the contents of 2 torrents\u2026 Escape stops."));
    // Escape in the grid stops them.
    QWidget* grid = child<QWidget>("StringGrid1");
    m_Form->activateWindow();
    grid->setFocus();
    QTRY_VERIFY(grid->hasFocus());
    QTest::keyClick(grid, Qt::Key_Escape);
    QCOMPARE(status(), QString("Fetching stopped."));
    QVERIFY(!action("StopFetching")->isEnabled());
    QCOMPARE(cell(G::ColFiles, 1), QString());
    QCOMPARE(child<QAbstractItemView>("StringGrid1")
                 ->model()
                 ->index(1, G::ColFiles - 1)
                 .data()
                 .toString(),
             QString());
}

void MainFormFetchTest::addedLinksAreFetchedWhenTheUserWantsIt() {
    writeFetchOptions({{"FetchAddedLinks", 1}});
    const TLoopbackSeeder seeder(TTorrentKind::V1, 2, "Fetched when added");
    paste(QString::fromStdString(seeder.Link()));
    QTRY_COMPARE_WITH_TIMEOUT(cell(G::ColFiles), QString("2"), 60000);
    QCOMPARE(cell(G::ColName), QString("Fetched when added"));
}

void MainFormFetchTest::closingWhileFetchingEndsPromptlyAndKeepsTheList() {
    writeOptions(true, true);
    writeFetchOptions();
    paste(kUnknownLink);
    action("FetchContents")->trigger();
    QVERIFY(action("StopFetching")->isEnabled());
    QElapsedTimer closing;
    closing.start();
    m_Form->exitClicked();
    m_Form.reset();
    QVERIFY2(closing.elapsed() < 10000, qPrintable(QString::number(closing.elapsed())));
    m_Form = makeForm();
    QCOMPARE(names(), QStringList{"Nobody"});
}

void MainFormFetchTest::theSettingsDialogKeepsItsOptions() {
    action("FetchSettings")->trigger();
    auto* dialog = m_Form->findChild<FetchSettingsDialog*>("FetchSettingsDialog");
    QVERIFY(dialog != nullptr);
    QCOMPARE(dialog->findChild<QSpinBox*>("FetchTimeLimit")->value(), 120);
    QVERIFY(dialog->findChild<QCheckBox*>("FetchDht")->isChecked());
    QVERIFY(!dialog->findChild<QCheckBox*>("FetchPortMapping")->isChecked());
    dialog->findChild<QSpinBox*>("FetchTimeLimit")->setValue(30);
    dialog->findChild<QCheckBox*>("FetchDht")->setChecked(false);
    dialog->findChild<QCheckBox*>("FetchAddedLinks")->setChecked(true);
    dialog->accept();
    const FetchOptions kept = SettingsStore(m_Paths.SettingsFile).fetchOptions();
    QCOMPARE(kept.TimeLimitSeconds, 30);
    QCOMPARE(kept.Dht, false);
    QCOMPARE(kept.PortMapping, false);
    QCOMPARE(kept.FetchAddedLinks, true);
    // Values a hand-edited file holds out of range read as the defaults.
    QSettings settings(m_Paths.SettingsFile, QSettings::IniFormat);
    settings.setValue("FetchTimeLimit", 0);
    settings.setValue("FetchDht", "yes");
    settings.sync();
    QCOMPARE(SettingsStore(m_Paths.SettingsFile).fetchOptions().TimeLimitSeconds, 120);
    QCOMPARE(SettingsStore(m_Paths.SettingsFile).fetchOptions().Dht, true);
}

QTEST_MAIN(MainFormFetchTest)
#include "MainFormFetchTest.moc"
