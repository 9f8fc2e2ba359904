// The torrents the window keeps: each add keeps its .torrent, pruning keeps what the list and
// its undo steps reach, "Properties" shows a row's kept torrent, and the saves write it again.

#include "widgets/KeptTorrents.h"

#include "list/TorrentFileName.h"
#include "tests/widgets/FormTestBase.h"
#include "widgets/FileTreeModel.h"
#include "widgets/PropertiesDialog.h"

#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QUndoStack>

using namespace lintervale;
using G = TTorrentGrid;

class KeptTorrentsTest : public lintervale::testing::FormTestBase {
    Q_OBJECT
private slots:
    void initTestCase() { InitFormResources(); }
    void init() {
        setUpForm();
        QVERIFY(QTest::qWaitForWindowActive(m_Form.get()));
    }
    void cleanup() { tearDownForm(); }

    void everyAddIsKeptOnceAndPruningKeepsWhatCanComeBack();
    void propertiesOfTheCurrentRow();
    void savingKeptTorrentsAgain();

private:
    QString storeFolder() const { return m_Dir->filePath("data/torrents"); }
    QString entry(const std::string& Hash) const {
        return storeFolder() + "/" + QString::fromStdString(Hash) + ".torrent";
    }
    QStringList entries() const {
        return QDir(storeFolder()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }
    static QByteArray bytesOf(const QString& File) {
        QFile file(File);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    std::string hash(int Row) const { return m_Form->List().Grid().Cell(G::ColHash, Row); }
    // Adds torrent files named after Names; the last ends on top.
    QStringList add(const QStringList& Names) {
        QStringList files;
        for (const QString& name : Names) {
            files.append(torrent(name));
        }
        m_Form->AddFiles(files);
        waitForAdds();
        return files;
    }
    void addLink(const QString& Name) {
        m_Form->adder().addLinkText("magnet:?xt=urn:btih:" + QString(40, 'c') + "&dn=" + Name);
        waitForAdds();
    }
    // What pruning at start and at exit does; the writes queued before are done first.
    void prune() { m_Form->kept().prune(false, true); }
    PropertiesDialog* openProperties() {
        trigger("Properties");
        auto* dialog = m_Form->findChild<PropertiesDialog*>();
        if (dialog != nullptr) {
            dialog->setParent(nullptr);
        }
        return dialog;
    }
};

void KeptTorrentsTest::everyAddIsKeptOnceAndPruningKeepsWhatCanComeBack() {
    // What no row refers to, and what a write left behind, goes at start.
    m_Form.reset();
    QDir().mkpath(storeFolder());
    QFile stale(entry(std::string(40, 'e')));
    QVERIFY(stale.open(QIODevice::WriteOnly));
    stale.close();
    QFile left(storeFolder() + "/." + QString(40, 'e') + ".writing-1-1");
    QVERIFY(left.open(QIODevice::WriteOnly));
    left.close();
    m_Form = makeForm();
    QCOMPARE(entries(), QStringList());
    QVERIFY(QTest::qWaitForWindowActive(m_Form.get()));

    const QStringList files = add({"one", "two"});
    prune();
    QCOMPARE(bytesOf(entry(hash(1))), bytesOf(files[1]));
    QCOMPARE(bytesOf(entry(hash(2))), bytesOf(files[0]));
    // The same torrent again, from another copy of the file: nothing new is kept.
    m_Form->AddFile(files[0]);
    prune();
    QCOMPARE(entries().size(), 2);
    QCOMPARE(m_Form->kept().store().Usage().Entries, 2);

    // A removed row stays while an undo can bring it back, with its details.
    const std::string removed = hash(1);
    m_Form->List().SetRow(1);
    trigger("RemoveSelected");
    prune();
    QVERIFY(QFile::exists(entry(removed)));
    m_Form->undoStack().undo();
    QCOMPARE(hash(1), removed);
    m_Form->List().SetRow(1);
    std::unique_ptr<PropertiesDialog> dialog(openProperties());
    QVERIFY(dialog != nullptr);
    QCOMPARE(dialog->tabs()->count(), 4);
    dialog.reset();

    // Once no step can bring it back, it goes.
    trigger("RemoveSelected");
    m_Form->undoStack().clear();
    prune();
    QVERIFY(!QFile::exists(entry(removed)));
    QCOMPARE(entries().size(), 1);
}

void KeptTorrentsTest::propertiesOfTheCurrentRow() {
    enum class Spoil { None, Delete, Damage };
    struct Case {
        const char* Name;
        bool Link;
        Spoil Spoiled;
        int Tabs;
        const char* Status; // what the status line holds afterwards, in part
    };
    const std::array cases = {
        Case{.Name = "file", .Link = false, .Spoiled = Spoil::None, .Tabs = 4, .Status = ""},
        Case{.Name = "link", .Link = true, .Spoiled = Spoil::None, .Tabs = 1, .Status = ""},
        Case{.Name = "deleted",
             .Link = false,
             .Spoiled = Spoil::Delete,
             .Tabs = 1,
             .Status = "The kept .torrent file of \"deleted\" is missing"},
        Case{.Name = "damaged",
             .Link = false,
             .Spoiled = Spoil::Damage,
             .Tabs = 1,
             .Status = "The kept .torrent file of \"damaged\" was damaged"},
    };
    for (const Case& c : cases) {
        if (c.Link) {
            addLink(c.Name);
        } else {
            add({c.Name});
        }
        prune();
        if (c.Spoiled == Spoil::Delete) {
            QVERIFY(QFile::remove(entry(hash(1))));
        } else if (c.Spoiled == Spoil::Damage) {
            QFile file(entry(hash(1)));
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write("d4:infod6:lengthi1eee");
        }
        m_Form->List().SetRow(1);
        m_Form->showStatus(QString());
        // Alt+Enter wherever the focus is in the window.
        child<QPushButton>("Button1")->setFocus();
        QTest::keyClick(child<QPushButton>("Button1"), Qt::Key_Return, Qt::AltModifier);
        std::unique_ptr<PropertiesDialog> dialog(m_Form->findChild<PropertiesDialog*>());
        QVERIFY2(dialog != nullptr, c.Name);
        dialog->setParent(nullptr);
        QCOMPARE(dialog->tabs()->count(), c.Tabs);
        QVERIFY2(status().startsWith(c.Status) || *c.Status == 0,
                 qPrintable(QString(c.Name) + ": " + status()));
        auto* unknown = dialog->findChild<QLabel*>("ContentsUnknown");
        QCOMPARE(unknown != nullptr, c.Tabs == 1);
        if (c.Spoiled != Spoil::None) {
            // Dropped: the next look finds nothing to tell.
            QVERIFY(!QFile::exists(entry(hash(1))));
            QVERIFY(unknown->text().contains("not known"));
        }
        QVERIFY(dialog->findChild<QLineEdit*>("KeptUsage")->text().contains(" files, "));
        if (c.Tabs == 4) {
            // The ticked files' link is the row's with "so".
            dialog->files()->tickAll(true);
            QTest::mouseClick(dialog->findChild<QPushButton*>("CopyLinkForSelectedFiles"),
                              Qt::LeftButton);
            QCOMPARE(QApplication::clipboard()->text(),
                     QString::fromStdString(m_Form->List().MagnetLinkOfRow(1)) + "&so=0");
        }
    }
}

void KeptTorrentsTest::savingKeptTorrentsAgain() {
    // Not quiet: what was skipped comes in a box too.
    child<QCheckBox>("CheckBox4")->setChecked(false);
    add({"first", "second"});
    addLink("linked");
    const QString out = m_Dir->filePath("out");
    QVERIFY(QDir().mkpath(out));
    struct Case {
        const char* Name;
        int Top;    // the selected rows
        int Bottom; // (one row: Save as)
        QStringList Files;
        const char* Status;
        int Boxes;
    };
    const std::array cases = {
        Case{.Name = "one row",
             .Top = 2,
             .Bottom = 2,
             .Files = {"second.torrent"},
             .Status = "Saved \"",
             .Boxes = 0},
        Case{.Name = "over a file there",
             .Top = 2,
             .Bottom = 2,
             .Files = {"second.torrent"},
             .Status = "Saved \"",
             .Boxes = 0},
        Case{.Name = "several, one without",
             .Top = 1,
             .Bottom = 3,
             .Files = {"first.torrent", "second (2).torrent", "second.torrent"},
             .Status = "Saved 2 of 3 .torrent files to",
             .Boxes = 1},
    };
    for (const Case& c : cases) {
        MessageBoxes::clearShown();
        m_Form->List().Grid().Select(c.Top, c.Bottom);
        if (c.Top == c.Bottom) {
            MessageBoxes::setNextFiles({out + "/second.torrent"});
            trigger("SaveTorrentAs");
        } else {
            MessageBoxes::setNextFiles({out});
            trigger("SaveTorrentsToFolder");
        }
        QCOMPARE(QDir(out).entryList(QDir::Files | QDir::Hidden, QDir::Name), c.Files);
        QVERIFY2(status().startsWith(c.Status) || *c.Status == 0,
                 qPrintable(QString(c.Name) + ": " + status()));
        QCOMPARE(MessageBoxes::shown().size(), c.Boxes);
        for (const QString& file : c.Files) {
            QCOMPARE(bytesOf(out + "/" + file).isEmpty(), false);
        }
    }
    // The row without a torrent is named.
    QVERIFY(status().contains("linked"));
    QCOMPARE(bytesOf(out + "/first.torrent"), bytesOf(m_Dir->filePath("first.torrent")));
}

QTEST_MAIN(KeptTorrentsTest)
#include "KeptTorrentsTest.moc"
