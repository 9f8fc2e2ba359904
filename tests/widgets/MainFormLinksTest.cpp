// Magnet links in the main window, offscreen: pasted and dropped as text, their rows like any
// other, a row's QR code, the selected rows dragged out, the links of kept torrents, private
// rows, and the link contents.

#include "list/MagnetRows.h"
#include "tests/magnet/ExpectedLinks.h"
#include "tests/network/LoopbackServer.h"
#include "tests/widgets/FormTestBase.h"
#include "widgets/GridModel.h"
#include "widgets/GridView.h"
#include "widgets/LinkContentsDialog.h"
#include "widgets/MainForm.h"
#include "widgets/QrCodeDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QDrag>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTest>
#include <QTimer>

using namespace lintervale;
using G = TTorrentGrid;

namespace {

QString Hash(char Digit) {
    return QString(40, QChar(Digit));
}

// A link in our own form, as the row it makes gives it back.
QString OurLink(char Digit, const QString& Name, const QString& Trackers = "&tr=") {
    return "magnet:?xt=urn:btih:" + Hash(Digit) + "&dn=" + Name + Trackers;
}

} // namespace

class MainFormLinksTest : public lintervale::testing::FormTestBase {
    Q_OBJECT
private slots:
    void initTestCase() { InitFormResources(); }
    void init() { setUpForm(); }
    void cleanup() { tearDownForm(); }

    void pasteAddsEachLinkAsAFile();
    void aLongPasteIsABatch();
    void textOverTheLimitIsCut();
    void droppedTextAndAddresses();
    void rowsOfLinksAreRowsLikeAnyOther();
    void theQrCodeOfTheCurrentRow();
    void draggingTheSelectedRowsGivesTheirLinks();
    void keptTorrentsGiveWholeLinksAndPrivateRowsAreTold();

private:
    std::string cell(int Column, int Row) const { return m_Form->List().Grid().Cell(Column, Row); }
    GridView* grid() { return child<GridView>("StringGrid1"); }
    QPoint rowCenter(int Row) {
        return grid()->visualRect(grid()->model()->index(Row - 1, 1)).center();
    }
};

void MainFormLinksTest::pasteAddsEachLinkAsAFile() {
    child<QCheckBox>("CheckBox4")->setChecked(false); // boxes, as for files
    m_Form->AddFile(torrent("listed"));
    const QString listed = QString::fromStdString(cell(G::ColHash, 1));
    MessageBoxes::clearShown();
    QGuiApplication::clipboard()->setText(
        "Links for today:\n- magnet:?xt=urn:btih:" + Hash('a') +
        "&dn=one&tr=udp%3A%2F%2Ft1%2Fa&tr=udp://t1/a&tr=http://t2/b\n"
        "\t" +
        "magnet:?xt=urn:btih:" + listed + "&dn=again (\"magnet:?dn=no-hash\") " +
        "MAGNET:?XT=urn:btih:" + Hash('B').toLower().toUpper() +
        "&dn=two%20%26%20more&xl=3145728 the end.");
    // Ctrl+V works wherever the focus is in the window.
    child<QPushButton>("Button2")->setFocus();
    QTRY_VERIFY(child<QPushButton>("Button2")->hasFocus());
    QTest::keyClick(child<QPushButton>("Button2"), Qt::Key_V, Qt::ControlModifier);
    waitForAdds();

    // The list reads as the text, its first link on top.
    QCOMPARE(names(), QStringList({"one", "two & more", "listed"}));
    QCOMPARE(cell(G::ColHash, 2), Hash('b').toStdString());
    QCOMPARE(cell(G::ColTrackers, 2), std::string());
    QCOMPARE(cell(G::ColFiles, 2), std::string());
    QCOMPARE(cell(G::ColSize, 2), std::string("3 MB"));
    QCOMPARE(cell(G::ColTrackers, 1), std::string("\"udp://t1/a\"|\"http://t2/b\""));
    QCOMPARE(cell(G::ColSize, 1), std::string());
    // A batch gives no box for the listed hash: the status line sums the batch up, and one
    // box, like Details, names the link without a hash with its cause.
    const QString summary = "2 added, 1 already listed, 1 refused";
    QCOMPARE(status(), summary);
    const QStringList refusedBox{summary + "\n\nmagnet:?dn=no-hash: " + kRefusedLinkCause};
    QCOMPARE(MessageBoxes::shown(), refusedBox);
    MessageBoxes::clearShown();
    emit child<QLabel>("BatchDetails")->linkActivated("details");
    QCOMPARE(MessageBoxes::shown(), refusedBox);

    // From the context menu, in quiet mode: no box; a text without links says so.
    child<QCheckBox>("CheckBox4")->setChecked(true);
    MessageBoxes::clearShown();
    QGuiApplication::clipboard()->setText("magnet:?xt=urn:btih:" + Hash('a') + " magnet:?xt=1");
    trigger("PasteLinks");
    waitForAdds();
    QCOMPARE(names().size(), 3);
    QVERIFY(MessageBoxes::shown().isEmpty());
    // A listed link and one without a hash are a batch of two.
    QCOMPARE(status(), QString("1 already listed, 1 refused"));
    // One link is no batch: a listed one is told as for a file, and a link without a hash
    // alone is named on the status line.
    QGuiApplication::clipboard()->setText("magnet:?xt=urn:btih:" + Hash('a'));
    trigger("PasteLinks");
    waitForAdds();
    QVERIFY2(status().endsWith("You have already added this hash. :)"), qPrintable(status()));
    QGuiApplication::clipboard()->setText("magnet:?xt=1");
    trigger("PasteLinks");
    waitForAdds();
    QCOMPARE(status(), QString(kRefusedLinkText).arg("magnet:?xt=1"));
    QGuiApplication::clipboard()->setText("nothing to see");
    trigger("PasteLinks");
    QCOMPARE(status(), QString("No magnet link in the text."));
    QCOMPARE(names().size(), 3);
}

void MainFormLinksTest::aLongPasteIsABatch() {
    QString text;
    for (int i = 0; i < 120; ++i) {
        text += QString("magnet:?xt=urn:btih:%1&dn=link%2\r\n").arg(i, 40, 16, QChar('0')).arg(i);
    }
    text += "magnet:?xt=urn:btih:short";
    m_Form->adder().setSliceMilliseconds(0); // one row per slice
    m_Form->adder().addLinkText(text);
    QVERIFY(m_Form->adding());
    QCOMPARE(status(), QString("Adding magnet links: 1 of 120 ..."));
    // The window handles events between slices.
    QTest::mouseClick(child<QCheckBox>("CheckBox3"), Qt::LeftButton);
    QVERIFY(child<QCheckBox>("CheckBox3")->isChecked());
    child<QCheckBox>("CheckBox3")->setChecked(false);
    waitForAdds();
    QCOMPARE(status(), QString("120 added, 1 refused"));
    QCOMPARE(names().first(), QString("link0"));
    QCOMPARE(names().last(), QString("link119"));
    QCOMPARE(grid()->model()->rowCount(), 120);

    // Files and links dropped together make one batch, the files first.
    QMimeData data;
    data.setData("text/uri-list",
                 (QUrl::fromLocalFile(torrent("file1")).toEncoded() +
                  "\r\nmagnet:?xt=urn:btih:" + Hash('c').toLatin1() + "&dn=link\r\n" +
                  QUrl::fromLocalFile(torrent("file2")).toEncoded() + "\r\n"));
    QVERIFY(dropOnForm(data));
    waitForAdds();
    QCOMPARE(names().mid(0, 3), QStringList({"link", "file2", "file1"}));
    QCOMPARE(status(), QString("3 added"));
}

void MainFormLinksTest::textOverTheLimitIsCut() {
    const QString first = "magnet:?xt=urn:btih:" + Hash('1') + "&dn=first";
    QString text = first + ' ';
    text += QString(static_cast<qsizetype>(kMaxLinkTextBytes) - text.size() - 10, QChar('x'));
    // Across the limit, and beyond it: neither is read.
    text += " magnet:?xt=urn:btih:" + Hash('2') + "&dn=across magnet:?xt=urn:btih:" + Hash('3');
    QGuiApplication::clipboard()->setText(text);
    trigger("PasteLinks");
    waitForAdds();
    QCOMPARE(names(), QStringList({"first"}));
    QCOMPARE(status(), QString(kTextCutText));
}

void MainFormLinksTest::droppedTextAndAddresses() {
    // Text from an editor, links among words.
    QMimeData text;
    text.setText("see magnet:?xt=urn:btih:" + Hash('d') + "&dn=dropped and magnet:?dn=none");
    QVERIFY(dropOnForm(text));
    waitForAdds();
    QCOMPARE(names(), QStringList({"dropped"}));
    QCOMPARE(status(), QString("1 added, 1 refused"));

    // A magnet address dropped from a browser, beside one that is of no use.
    QMimeData addresses;
    addresses.setData("text/uri-list", "ftp://example.org/x.torrent\r\nmagnet:?xt=urn:btih:" +
                                           Hash('e').toLatin1() + "&dn=from%20a%20page\r\n");
    QVERIFY(dropOnForm(addresses));
    waitForAdds();
    QCOMPARE(names(), QStringList({"from a page", "dropped"}));

    QMimeData nothing;
    nothing.setData("text/uri-list", "ftp://example.org/x.torrent\r\n");
    QVERIFY(dropOnForm(nothing));
    QVERIFY(status().startsWith("Nothing to add"));
    QCOMPARE(names().size(), 2);
}

void MainFormLinksTest::rowsOfLinksAreRowsLikeAnyOther() {
    lintervale::testing::TestServer service;
    QVERIFY(service.listen());
    m_Form->Fetcher().setService(service.base(), "test");
    service.Answers.insert(("/announce_" + Hash('f')).toLatin1(),
                           {service.ok("udp://fetched/1\n"), {}, 0});
    child<QCheckBox>("CheckBox2")->setChecked(true); // save on exit
    const QString link = OurLink('f', "plain");
    m_Form->adder().addLinkText(link);
    waitForAdds();

    // Copied, it is the pasted link again.
    trigger("Clipboard");
    QCOMPARE(QGuiApplication::clipboard()->text(), link);
    // Its trackers are fetched into it.
    trigger("Gettrackersfromsite");
    QTRY_COMPARE_WITH_TIMEOUT(cell(G::ColTrackers, 1), std::string("\"udp://fetched/1\""), 20000);
    // Its removal is undone.
    trigger("RemoveSelected");
    QCOMPARE(names(), QStringList({""}));
    trigger("Undo");
    QCOMPARE(names(), QStringList({"plain"}));
    // Its tracker list opens in the editor.
    bool edited = false;
    QTimer::singleShot(0, this, [&] {
        auto* editor = child<QDialog>("EditForm");
        edited = editor->isVisible();
        editor->reject();
    });
    trigger("Edittrackerlist");
    QVERIFY(edited);

    // Saved and loaded, its empty cells stay empty.
    m_Form->close();
    m_Form = makeForm();
    QCOMPARE(names(), QStringList({"plain"}));
    QCOMPARE(cell(G::ColHash, 1), Hash('f').toStdString());
    QCOMPARE(cell(G::ColTrackers, 1), std::string("\"udp://fetched/1\""));
    QCOMPARE(cell(G::ColFiles, 1), std::string());
    QCOMPARE(cell(G::ColSize, 1), std::string());
}

void MainFormLinksTest::theQrCodeOfTheCurrentRow() {
    // An empty list: no link, no dialog.
    trigger("ShowQrCode");
    QCOMPARE(status(), QString("This row has no magnet link."));
    QVERIFY(m_Form->findChild<QrCodeDialog*>() == nullptr);

    m_Form->adder().addLinkText(OurLink('2', "second") + "\n" + OurLink('1', "first"));
    waitForAdds();
    m_Form->List().SetRow(2);
    grid()->setFocus();
    QTRY_VERIFY(grid()->hasFocus());
    QTest::keyClick(grid(), Qt::Key_R, Qt::ControlModifier);
    auto* dialog = m_Form->findChild<QrCodeDialog*>();
    QVERIFY(dialog != nullptr);
    QTRY_VERIFY(dialog->isVisible());
    QCOMPARE(dialog->windowModality(), Qt::WindowModal);
    QVERIFY(!dialog->image().isNull());

    // Rows come and go while it is open; it keeps its link.
    m_Form->AddFile(torrent("meanwhile"));
    m_Form->List().SelectAll();
    trigger("RemoveSelected");
    QCOMPARE(dialog->findChild<QPlainTextEdit*>("LinkText")->toPlainText(), OurLink('1', "first"));
    dialog->reject();
    QTRY_VERIFY(m_Form->findChild<QrCodeDialog*>() == nullptr); // closed, it goes
}

void MainFormLinksTest::draggingTheSelectedRowsGivesTheirLinks() {
    m_Form->adder().addLinkText(OurLink('3', "three") + " " + OurLink('2', "two") + " " +
                                OurLink('1', "one"));
    waitForAdds();
    m_Form->List().Grid().SetCell(G::ColHash, 2, ""); // "two": no hash, no link
    QWidget* cells = grid()->viewport();

    // A press inside the selection, moved along its row: the selection is dragged.
    m_Form->List().UserSelect(1, 3);
    const QPoint start = rowCenter(3);
    QTest::mousePress(cells, Qt::LeftButton, Qt::NoModifier, start);
    QTest::mouseMove(cells, start + QPoint(QApplication::startDragDistance() + 5, 0));
    auto* drag = grid()->findChild<QDrag*>();
    QVERIFY(drag != nullptr);
    QCOMPARE(drag->mimeData()->text(), OurLink('3', "three") + "\n" + OurLink('1', "one"));
    QCOMPARE(QString::fromUtf8(drag->mimeData()->data("text/uri-list")),
             OurLink('3', "three") + "\r\n" + OurLink('1', "one") + "\r\n");
    QTest::mouseRelease(cells, Qt::LeftButton, Qt::NoModifier, start);
    QCOMPARE(m_Form->List().Grid().SelectionTop(), 1);
    QCOMPARE(m_Form->List().Grid().SelectionBottom(), 3);
    QTRY_VERIFY(grid()->findChild<QDrag*>() == nullptr); // Qt lets it go

    // A press inside the selection that is let go is a click on its row.
    QTest::mouseClick(cells, Qt::LeftButton, Qt::NoModifier, rowCenter(2));
    QCOMPARE(m_Form->List().Grid().SelectionTop(), 2);
    QCOMPARE(m_Form->List().Grid().SelectionBottom(), 2);
    // Dragging a row without a hash gives nothing to drag.
    QTest::mousePress(cells, Qt::LeftButton, Qt::NoModifier, rowCenter(2));
    QTest::mouseMove(cells, rowCenter(2) + QPoint(QApplication::startDragDistance() + 5, 0));
    QVERIFY(grid()->findChild<QDrag*>() == nullptr);
    QTest::mouseRelease(cells, Qt::LeftButton, Qt::NoModifier, rowCenter(2));

    // A press inside the selection that leaves it widens the selection from its row.
    m_Form->List().UserSelect(1, 2);
    QTest::mousePress(cells, Qt::LeftButton, Qt::NoModifier, rowCenter(1));
    QTest::mouseMove(cells, rowCenter(3));
    QTest::mouseRelease(cells, Qt::LeftButton, Qt::NoModifier, rowCenter(3));
    QCOMPARE(m_Form->List().Grid().Anchor(), 1);
    QCOMPARE(m_Form->List().Grid().Row(), 3);
    QVERIFY(grid()->findChild<QDrag*>() == nullptr);
}

void MainFormLinksTest::keptTorrentsGiveWholeLinksAndPrivateRowsAreTold() {
    const QString fixtures = LINTERVALE_FIXTURES;
    m_Form->AddFile(fixtures + "/details.torrent");        // private
    m_Form->AddFile(fixtures + "/hybrid-webseed.torrent"); // both hashes and a web seed
    m_Form->adder().addLinkText(OurLink('7', "pasted", "&tr=http://t.example/a"));
    waitForAdds();
    QCOMPARE(names().size(), 3);
    std::string hybrid;
    for (const auto& row : lintervale::testing::ReadCompleteExpected()) {
        if (row.file == "hybrid-webseed.torrent") {
            hybrid = row.link;
        }
    }
    const QString pasted = OurLink('7', "pasted", "&tr=http://t.example/a");

    // Rows 1 (pasted), 2 (hybrid), 3 (private): each copied alone, under the default contents.
    struct Case {
        int Row;
        QString Link; // empty: not compared
        bool Private;
    };
    const Case cases[] = {
        {1, pasted, false}, {2, QString::fromStdString(hybrid), false}, {3, QString(), true}};
    const QString told = "The link holds the tracker address of a private torrent.";
    QAbstractItemModel* model = grid()->model();
    for (const Case& c : cases) {
        m_Form->List().SetRow(c.Row);
        trigger("Clipboard");
        if (!c.Link.isEmpty()) {
            QCOMPARE(QGuiApplication::clipboard()->text(), c.Link);
        }
        QCOMPARE(status() == told, c.Private);
        const QModelIndex name = model->index(c.Row - 1, 0);
        QCOMPARE(model->data(name, Qt::DecorationRole).value<QIcon>().isNull(), !c.Private);
        QCOMPARE(model->data(name, Qt::ToolTipRole).toString().contains(GridModel::privateText()),
                 c.Private);
        QCOMPARE(model->data(name, Qt::AccessibleDescriptionRole)
                     .toString()
                     .contains(GridModel::privateText()),
                 c.Private);
        // The QR code of a private row's link says so too.
        trigger("ShowQrCode");
        QCOMPARE(status() == told, c.Private);
        auto* dialog = m_Form->findChild<QrCodeDialog*>();
        QVERIFY(dialog != nullptr);
        dialog->reject();
        QTRY_VERIFY(m_Form->findChild<QrCodeDialog*>() == nullptr);
        // So does dragging it out, before the drag's own event loop starts.
        child<QLabel>("StatusText")->clear();
        m_Form->List().UserSelect(c.Row, c.Row);
        const QPoint start = rowCenter(c.Row);
        QTest::mousePress(grid()->viewport(), Qt::LeftButton, Qt::NoModifier, start);
        QTest::mouseMove(grid()->viewport(),
                         start + QPoint(QApplication::startDragDistance() + 5, 0));
        QVERIFY(grid()->findChild<QDrag*>() != nullptr);
        QCOMPARE(status() == told, c.Private);
        QTest::mouseRelease(grid()->viewport(), Qt::LeftButton, Qt::NoModifier, start);
        QTRY_VERIFY(grid()->findChild<QDrag*>() == nullptr);
    }

    // "Link contents…": no name, the first tracker only; used at once, and kept in the file.
    m_Form->List().SetRow(2);
    trigger("LinkContents");
    auto* contents = m_Form->findChild<LinkContentsDialog*>();
    QVERIFY(contents != nullptr);
    QTRY_VERIFY(contents->isVisible());
    QCOMPARE(contents->windowModality(), Qt::WindowModal);
    contents->findChild<QCheckBox*>("LinkName")->setChecked(false);
    contents->findChild<QRadioButton*>("LinkFirstTracker")->setChecked(true);
    const QString preview =
        "magnet:?xt=urn:btih:24d6a1822cd5af37e70e7db7c65cdfc8a8ddce1e&xt=urn:btmh:1220"
        "aa42e1fe9de5e518253aa710c8d01f365593935aa539862f31e68a33300285ad"
        "&tr=http://tracker.example.org:6969/announce&ws=http://webseed.example/hybrid/";
    // The preview is the current row's link as the boxes make it: the kept torrent's.
    QCOMPARE(contents->findChild<QLineEdit*>("LinkPreview")->text(), preview);
    contents->accept();
    QTRY_VERIFY(m_Form->findChild<LinkContentsDialog*>() == nullptr);
    trigger("Clipboard");
    QCOMPARE(QGuiApplication::clipboard()->text(), preview);
    m_Form->List().SetRow(1);
    trigger("Clipboard");
    QCOMPARE(QGuiApplication::clipboard()->text(),
             "magnet:?xt=urn:btih:" + Hash('7') + "&tr=http://t.example/a");
    QSettings settings(m_Paths.SettingsFile, QSettings::IniFormat);
    QCOMPARE(settings.value("LinkName").toInt(), 0);
    QCOMPARE(settings.value("LinkTrackers").toString(), QString("first"));

    // An options file that cannot be written: the choices are used, and the status line says
    // where they were not kept.
    QVERIFY(QFile::remove(m_Paths.SettingsFile));
    QVERIFY(QDir().mkpath(m_Paths.SettingsFile));
    trigger("LinkContents");
    contents = m_Form->findChild<LinkContentsDialog*>();
    QVERIFY(contents != nullptr);
    contents->findChild<QCheckBox*>("LinkName")->setChecked(true);
    contents->accept();
    QTRY_VERIFY(m_Form->findChild<LinkContentsDialog*>() == nullptr);
    QVERIFY2(status().startsWith("The link contents are used, but could not be written to " +
                                 m_Paths.SettingsFile),
             qPrintable(status()));
    trigger("Clipboard");
    QCOMPARE(QGuiApplication::clipboard()->text(),
             "magnet:?xt=urn:btih:" + Hash('7') + "&dn=pasted&tr=http://t.example/a");
    QVERIFY(QDir(m_Paths.SettingsFile).removeRecursively());
}

QTEST_MAIN(MainFormLinksTest)
#include "MainFormLinksTest.moc"
