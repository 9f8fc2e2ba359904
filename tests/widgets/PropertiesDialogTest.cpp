// The Properties dialog over the fixtures: every part, the file tree's filter, sort and ticks,
// the link for ticked files, and a row whose torrent is not kept. Offscreen.

#include "widgets/PropertiesDialog.h"

#include "list/TorrentRow.h"
#include "tests/widgets/WindowTesting.h"
#include "widgets/FileTreeModel.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QTreeView>
#include <algorithm>
#include <string>
#include <string_view>

using namespace lintervale;

namespace {

std::string FixtureBytes(const char* Name) {
    QFile file(QString(LINTERVALE_FIXTURES) + "/" + Name);
    file.open(QIODevice::ReadOnly);
    return file.readAll().toStdString();
}

TTorrentGrid::TRow RowOf(const std::string& Bytes) {
    TTorrentFile torrent;
    torrent.Load(Bytes);
    const TTorrentRow row = MakeTorrentRow(torrent);
    return {"", row.Name, row.Hash, row.Trackers, row.Files, row.Size};
}

QStringList Names(const QAbstractItemModel& Model, const QModelIndex& Parent = {}) {
    QStringList names;
    for (int r = 0; r < Model.rowCount(Parent); ++r) {
        names.append(Model.index(r, 0, Parent).data().toString());
    }
    return names;
}

} // namespace

class PropertiesDialogTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { InitWindowTests(); }

    void everyPartOfAKeptTorrent() {
        const std::string bytes = FixtureBytes("details.torrent");
        std::vector<std::int64_t> asked;
        PropertiesDialog dialog(RowOf(bytes), bytes, {},
                                [&](const std::vector<std::int64_t>& Files) {
                                    asked = Files;
                                    return QString("the link");
                                });
        QCOMPARE(dialog.tabs()->count(), 4);
        const auto field = [&](const char* Name) {
            for (QLineEdit* edit : dialog.findChildren<QLineEdit*>()) {
                if (edit->accessibleName() == Name) {
                    return edit->text();
                }
            }
            return QString("(no field)");
        };
        QCOMPARE(field("Name"), QString("Album"));
        QCOMPARE(field("Info hash, version 1"),
                 QString("5f959e46d8d19382d4c637a2265b0b966b4940a2"));
        QCOMPARE(field("Info hash, version 2"), QString("(none)"));
        QVERIFY(field("Private").startsWith("Yes"));
        QCOMPARE(field("Created by"), QString("mktorrent 1.1"));
        QCOMPARE(field("Source"), QString("Example Mirror"));
        QVERIFY(field("Total size").contains("41,234 bytes"));
        QVERIFY(dialog.findChild<QPlainTextEdit*>("TrackerTiers")
                    ->toPlainText()
                    .startsWith("Tier 1\n    http://tier1a.example/announce\n    "
                                "udp://tier1b.example:6969\nTier 2"));
        QCOMPARE(dialog.findChild<QPlainTextEdit*>("WebSeeds")->toPlainText(),
                 QString("http://seed.example/files/\nhttp://seed2.example/a&b/"));
        QCOMPARE(dialog.findChild<QPlainTextEdit*>("DhtNodes")->toPlainText(),
                 QString("router.example:6881\n10.0.0.1:51413"));

        // The files: padding hidden, a symbolic link shown as one, folders first once sorted.
        FileTreeModel& files = *dialog.files();
        QCOMPARE(files.fileCount(), 3);
        QCOMPARE(Names(files),
                 QStringList({"CD 1", "cover.jpg", "current \u2192 CD 1/01 Intro.flac"}));
        files.sort(FileTreeModel::Size, Qt::DescendingOrder);
        QCOMPARE(Names(files),
                 QStringList({"CD 1", "cover.jpg", "current \u2192 CD 1/01 Intro.flac"}));
        files.sort(FileTreeModel::Name, Qt::DescendingOrder);
        QCOMPARE(Names(files),
                 QStringList({"CD 1", "current \u2192 CD 1/01 Intro.flac", "cover.jpg"}));
        QCOMPARE(files.index(0, FileTreeModel::Size).data(Qt::ToolTipRole).toString(),
                 QString("40,000 bytes"));

        // Ticks: indices count the padding entry (1), which no box stands for.
        QCOMPARE(files.tickedFiles(), (std::vector<std::int64_t>{0, 2, 3}));
        files.tickAll(false);
        const QModelIndex cover = files.index(2, 0);
        QVERIFY(files.setData(cover, Qt::Checked, Qt::CheckStateRole));
        QCOMPARE(files.tickedFiles(), std::vector<std::int64_t>{2});
        const QModelIndex folder = files.index(0, 0);
        QVERIFY(files.setData(folder, Qt::Checked, Qt::CheckStateRole));
        QCOMPARE(files.tickedFiles(), (std::vector<std::int64_t>{0, 2}));
        QTest::mouseClick(dialog.findChild<QPushButton*>("CopyLinkForSelectedFiles"),
                          Qt::LeftButton);
        QCOMPARE(asked, (std::vector<std::int64_t>{0, 2}));
        QCOMPARE(QApplication::clipboard()->text(), QString("the link"));

        // The filter: what holds the text, with the folders on the way; a named folder shows
        // all it holds.
        auto* filter = dialog.findChild<QLineEdit*>("FileFilter");
        struct Case {
            const char* Text;
            int Shown;
            QStringList Top;
        };
        for (const Case& c :
             {Case{"INTRO", 1, {"CD 1"}}, Case{"cd 1", 1, {"CD 1"}}, Case{"jpg", 1, {"cover.jpg"}},
              Case{"nothing", 0, {}},
              Case{"", 3, {"CD 1", "current \u2192 CD 1/01 Intro.flac", "cover.jpg"}}}) {
            QSignalSpy filtered(&files, &QAbstractItemModel::modelReset);
            filter->setText(c.Text);
            QVERIFY(filtered.wait(5000));
            QCOMPARE(files.shownFiles(), c.Shown);
            QCOMPARE(Names(files), c.Top);
        }
    }

    void aRowWithoutItsTorrentShowsWhatTheRowHolds() {
        const TTorrentGrid::TRow cells = {"", "From a link", std::string(40, 'a'), "", "", ""};
        PropertiesDialog dialog(cells, std::nullopt, {}, {});
        QCOMPARE(dialog.tabs()->count(), 1);
        QVERIFY(dialog.findChild<QLabel*>("ContentsUnknown")->text().contains("not known"));
        PropertiesDialog damaged(cells, std::string("not a torrent"), {}, {});
        QVERIFY(damaged.findChild<QLabel*>("ContentsUnknown")->text().contains("cannot be read"));
    }

    void aLargeTorrentsFiles() {
        const std::string bytes = FixtureBytes("many-files.torrent");
        PropertiesDialog dialog(RowOf(bytes), bytes, {}, {});
        FileTreeModel& files = *dialog.files();
        QCOMPARE(files.fileCount(), 5000);
        QCOMPARE(files.rowCount(), 37);
        QSignalSpy filtered(&files, &QAbstractItemModel::modelReset);
        dialog.findChild<QLineEdit*>("FileFilter")->setText("file-04999");
        QVERIFY(filtered.wait(5000));
        QCOMPARE(files.shownFiles(), 1);
        QCOMPARE(files.tickedFiles().size(), std::size_t{5000});
    }

    void namesSortAsPeopleReadThem() {
        // Folders first, either way; in a real locale numbers by their value, case aside. The
        // C locale's collator knows no numbers, and its sort keys (unlike its comparison) keep
        // case apart: there names are compared one pair at a time.
        std::string list;
        for (const char* path : {"file10", "File2", "file1", "b/x", "A/x"}) {
            std::string items;
            for (std::string_view rest = path; !rest.empty();) {
                const std::string_view part = rest.substr(0, rest.find('/'));
                items += std::to_string(part.size()) + ":" + std::string(part);
                rest.remove_prefix(std::min(rest.size(), part.size() + 1));
            }
            list += "d6:lengthi1e4:pathl" + items + "ee";
        }
        const std::string bytes =
            "d4:infod5:filesl" + list +
            "e4:name1:x12:piece lengthi16384e6:pieces20:" + std::string(20, 'p') + "ee";
        const struct {
            QLocale::Language Language;
            Qt::SortOrder Order;
            QStringList Names;
        } cases[] = {
            {QLocale::English, Qt::AscendingOrder, {"A", "b", "file1", "File2", "file10"}},
            {QLocale::English, Qt::DescendingOrder, {"b", "A", "file10", "File2", "file1"}},
            {QLocale::German, Qt::AscendingOrder, {"A", "b", "file1", "File2", "file10"}},
            {QLocale::C, Qt::AscendingOrder, {"A", "b", "file1", "file10", "File2"}},
            {QLocale::C, Qt::DescendingOrder, {"b", "A", "File2", "file10", "file1"}},
        };
        const QLocale before;
        for (const auto& c : cases) {
            QLocale::setDefault(QLocale(c.Language));
            PropertiesDialog dialog(RowOf(bytes), bytes, {}, {});
            dialog.files()->sort(FileTreeModel::Name, c.Order);
            QCOMPARE(Names(*dialog.files()), c.Names);
        }
        QLocale::setDefault(before);
    }
};

QTEST_MAIN(PropertiesDialogTest)
#include "PropertiesDialogTest.moc"
