// The "Tracker sources" dialog: its checks, where accepted sources go, and its menu item.

#include "widgets/TrackerSourcesDialog.h"

#include "list/TorrentList.h"
#include "network/TrackerFetcher.h"
#include "session/SettingsStore.h"
#include "tests/network/LoopbackServer.h"
#include "widgets/MainForm.h"
#include "widgets/MessageBoxes.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace lintervale;

static void InitResources() {
    Q_INIT_RESOURCE(lintervale);
}

class TrackerSourcesDialogTest : public lintervale::testing::FetcherTestBase {
    Q_OBJECT
private slots:
    void initTestCase() { InitResources(); }
    void init();
    void cleanup();

    void onlyHttpAndHttpsAddressesAreAccepted();
    void acceptedSourcesReachTheFetcherAndTheFile();
    void aFailedWriteIsReported();
    void theLastItemOfTheGridsMenu();

private:
    // Opens the dialog on the fetcher's sources and returns it.
    TrackerSourcesDialog* open(const QString& SettingsFile) {
        openTrackerSources(m_Parent.get(), *m_Fetcher, SettingsFile, m_Host);
        auto* dialog = m_Parent->findChild<TrackerSourcesDialog*>("TrackerSourcesDialog");
        if (dialog == nullptr || !dialog->isVisible()) {
            qFatal("the dialog did not open");
        }
        return dialog;
    }
    static void fill(QDialog* Dialog, const char* Field, const QString& Text) {
        Dialog->findChild<QLineEdit*>(Field)->setText(Text);
    }
    static void press(QDialog* Dialog, QDialogButtonBox::StandardButton Button) {
        Dialog->findChild<QDialogButtonBox*>("Buttons")->button(Button)->click();
    }
    bool dialogGone() const {
        return QTest::qWaitFor(
            [this] { return m_Parent->findChild<TrackerSourcesDialog*>() == nullptr; }, 20000);
    }
    QString conf(const char* Name) const { return m_Dir->filePath(Name); }

    std::unique_ptr<QTemporaryDir> m_Dir;
    std::unique_ptr<QWidget> m_Parent;
};

void TrackerSourcesDialogTest::init() {
    m_Dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_Dir->isValid());
    MessageBoxes::setTestMode(true);
    MessageBoxes::clearShown();
    m_Parent = std::make_unique<QWidget>();
    m_Parent->show();
    QVERIFY(start());
    m_Fetcher->setService("http://old.example/api", "Old");
    m_Fetcher->setTrackerList("https://lists.example/old.txt");
}

void TrackerSourcesDialogTest::cleanup() {
    m_Parent.reset();
    stop();
    m_Dir.reset();
}

void TrackerSourcesDialogTest::onlyHttpAndHttpsAddressesAreAccepted() {
    TrackerSourcesDialog dialog(m_Parent.get());
    dialog.open();
    QSignalSpy accepted(&dialog, &QDialog::accepted);
    const char* refused[] = {"ftp://x.example/", "file:///tmp/list.txt", "no address",
                             "http://",          "https//x.example",     "javascript:alert(1)"};
    for (const auto& [field, message] : {std::pair{"ServiceURLEdit", kBadServiceAddressText},
                                         std::pair{"ListURLEdit", kBadListAddressText}}) {
        for (const char* address : refused) {
            dialog.setSources({});
            MessageBoxes::clearShown();
            fill(&dialog, field, address);
            press(&dialog, QDialogButtonBox::Ok);
            QCOMPARE(MessageBoxes::shown(), QStringList({message}));
            QVERIFY2(dialog.isVisible(), address);
        }
    }
    QCOMPARE(accepted.count(), 0);

    // Good addresses, or none, close the dialog; the fields come back trimmed.
    for (const TrackerSources& good :
         {TrackerSources{"http://s.example", "", ""},
          TrackerSources{" https://s.example:8443/api?k=1 ", " Mine ", " http://127.0.0.1:1/l "},
          TrackerSources{}}) {
        dialog.open();
        MessageBoxes::clearShown();
        dialog.setSources(good);
        press(&dialog, QDialogButtonBox::Ok);
        QVERIFY(MessageBoxes::shown().isEmpty());
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.sources().ServiceUrl, good.ServiceUrl.trimmed());
        QCOMPARE(dialog.sources().ServiceName, good.ServiceName.trimmed());
        QCOMPARE(dialog.sources().ListUrl, good.ListUrl.trimmed());
    }
    QCOMPARE(accepted.count(), 3);
}

void TrackerSourcesDialogTest::acceptedSourcesReachTheFetcherAndTheFile() {
    const QString file = conf("Lintervale.conf");
    QSignalSpy changed(m_Fetcher.get(), &TrackerFetcher::sourcesChanged);

    // Cancel changes nothing and writes nothing.
    TrackerSourcesDialog* dialog = open(file);
    QCOMPARE(dialog->sources().ServiceUrl, QString("http://old.example/api"));
    QCOMPARE(dialog->sources().ServiceName, QString("Old"));
    QCOMPARE(dialog->sources().ListUrl, QString("https://lists.example/old.txt"));
    fill(dialog, "ServiceURLEdit", "http://new.example");
    press(dialog, QDialogButtonBox::Cancel);
    QVERIFY(dialogGone());
    QCOMPARE(m_Fetcher->serviceUrl(), QString("http://old.example/api"));
    QCOMPARE(changed.count(), 0);
    QVERIFY(!QFile::exists(file));

    // No service, a list of one's own: the caption follows at once, the file holds them.
    dialog = open(file);
    fill(dialog, "ServiceURLEdit", "");
    fill(dialog, "ServiceNameEdit", "Kept, for later");
    fill(dialog, "ListURLEdit", "http://127.0.0.1:1/mine.txt");
    press(dialog, QDialogButtonBox::Ok);
    QVERIFY(dialogGone());
    QVERIFY(m_Fetcher->usesTrackerList());
    QCOMPARE(m_Fetcher->trackerListUrl(), QString("http://127.0.0.1:1/mine.txt"));
    QCOMPARE(m_Fetcher->menuCaption(), QString("&Get trackers from 127.0.0.1"));
    QVERIFY(changed.count() > 0);
    const SettingsStore store(file);
    QCOMPARE(store.text(SettingsStore::TrackerServiceURL), QString());
    QCOMPARE(store.text(SettingsStore::TrackerServiceName), QString("Kept, for later"));
    QCOMPARE(store.text(SettingsStore::TrackerListURL), QString("http://127.0.0.1:1/mine.txt"));
    QVERIFY(m_Host.Errors.empty());
    QCOMPARE(m_Host.Status, std::string());

    // An emptied list address stands for the default list.
    dialog = open(file);
    fill(dialog, "ServiceURLEdit", "https://service.example/api");
    fill(dialog, "ListURLEdit", "");
    press(dialog, QDialogButtonBox::Ok);
    QVERIFY(dialogGone());
    QCOMPARE(m_Fetcher->menuCaption(), QString("&Get trackers from Kept, for later"));
    QCOMPARE(m_Fetcher->trackerListUrl(), QString(SettingsStore::kDefaultTrackerListURL));
    QCOMPARE(store.text(SettingsStore::TrackerServiceURL), QString("https://service.example/api"));
    QCOMPARE(store.text(SettingsStore::TrackerListURL),
             QString(SettingsStore::kDefaultTrackerListURL));
}

void TrackerSourcesDialogTest::aFailedWriteIsReported() {
    QFile blocker(conf("blocker"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString file = conf("blocker/Lintervale.conf");
    const std::string text = "The tracker sources could not be saved in " + file.toStdString() +
                             ". They hold until Lintervale ends.";
    for (const bool quiet : {false, true}) {
        m_Host = lintervale::testing::HistoryHost();
        m_Host.Quiet = quiet;
        TrackerSourcesDialog* dialog = open(file);
        fill(dialog, "ServiceURLEdit", quiet ? "http://quiet.example" : "http://loud.example");
        press(dialog, QDialogButtonBox::Ok);
        QVERIFY(dialogGone());
        QCOMPARE(m_Host.Status, text);
        QCOMPARE(m_Host.Errors, quiet ? std::vector<std::string>{} : std::vector{text});
        // The sources hold for this run all the same.
        QCOMPARE(m_Fetcher->serviceUrl(),
                 QString(quiet ? "http://quiet.example" : "http://loud.example"));
    }
}

void TrackerSourcesDialogTest::theLastItemOfTheGridsMenu() {
    const MainFormPaths paths{conf("Lintervale.dat"), conf("Lintervale.conf"), "/opt/x/lintervale"};
    auto form = std::make_unique<MainForm>(paths);
    form->initialize({});
    form->show();
    auto* getTrackers = form->findChild<QAction*>("Gettrackersfromsite");
    QCOMPARE(getTrackers->text(), QString("&Get trackers from raw.githubusercontent.com"));

    form->findChild<QAction*>("TrackerSources")->trigger();
    auto* dialog = form->findChild<TrackerSourcesDialog*>("TrackerSourcesDialog");
    QVERIFY(dialog != nullptr && dialog->isVisible());
    QCOMPARE(dialog->sources().ListUrl, QString(SettingsStore::kDefaultTrackerListURL));
    QCOMPARE(dialog->sources().ServiceUrl, QString());
    fill(dialog, "ServiceURLEdit", "http://127.0.0.1:1/api");
    fill(dialog, "ServiceNameEdit", "Loopback");
    press(dialog, QDialogButtonBox::Ok);
    QCOMPARE(getTrackers->text(), QString("&Get trackers from Loopback"));
    QCOMPARE(QSettings(paths.SettingsFile, QSettings::IniFormat).value("TrackerServiceURL"),
             QVariant("http://127.0.0.1:1/api"));
}

QTEST_MAIN(TrackerSourcesDialogTest)
#include "TrackerSourcesDialogTest.moc"
