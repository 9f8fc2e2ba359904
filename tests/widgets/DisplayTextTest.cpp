// Text from outside the program on the screen, offscreen: a name's bidirectional controls show
// as visible marks, and markup in a name, a file name or a server's words never becomes rich
// text or a link, in the grid and its tool tips, in boxes and on the status line, while the
// cells and the links keep the name as it is.

#include "qtsupport/DisplayText.h"

#include "magnet/MagnetLink.h"
#include "qtsupport/Utf8Text.h"
#include "tests/widgets/FormTestBase.h"
#include "widgets/GridModel.h"
#include "widgets/GridView.h"

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QTextDocument>
#include <QTimer>
#include <fstream>

using namespace lintervale;
using G = TTorrentGrid;

namespace {

// A name that reads "invoiceexe.pdf" on a screen that obeys its right-to-left override, and
// holds a link for a screen that takes it for rich text.
const QString kName = QString::fromUtf8("invoice\u202Efdp.exe <a href=\"http://x\">click</a>");

// What the user reads of a tool tip: Qt shows one as rich text when it might be some.
QString ReadToolTip(const QString& Tip) {
    if (!Qt::mightBeRichText(Tip)) {
        return Tip;
    }
    QTextDocument document;
    document.setHtml(Tip);
    return document.toPlainText();
}

// The one box the action shows, as it is up: its text format, text and details.
struct ShownBox {
    Qt::TextFormat Format = Qt::AutoText;
    QString Text;
    QString Details;
    bool Seen = false;
};

ShownBox RealBox(const std::function<void()>& Action) {
    ShownBox shown;
    MessageBoxes::setTestMode(false);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&shown] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || shown.Seen) {
            return;
        }
        shown.Seen = true;
        shown.Format = box->textFormat();
        const auto* label = box->findChild<QLabel*>("qt_msgbox_label");
        shown.Text = label != nullptr ? label->text() : QString();
        shown.Details = box->detailedText();
        box->done(QMessageBox::Ok);
    });
    poll.start(5);
    Action();
    poll.stop();
    MessageBoxes::setTestMode(true);
    return shown;
}

} // namespace

class DisplayTextTest : public lintervale::testing::FormTestBase {
    Q_OBJECT
private slots:
    void initTestCase() { InitFormResources(); }
    void init() { setUpForm(); }
    void cleanup() { tearDownForm(); }

    void bidiControlsShowAsMarksAndToolTipsReadAsTheyStand();
    void theGridShowsANameAsItsCharactersStand();
    void boxesArePlainText();
    void theWindowsBoxesAndStatusLine();
};

void DisplayTextTest::bidiControlsShowAsMarksAndToolTipsReadAsTheyStand() {
    struct Case {
        const char* what;
        QString text;
        QString shown;
    };
    const Case cases[] = {
        {.what = "plain", .text = "plain name", .shown = "plain name"},
        {.what = "a right-to-left override",
         .text = QString::fromUtf8("invoice\u202Efdp.exe"),
         .shown = "invoice[RLO]fdp.exe"},
        {.what = "every control",
         .text = QString::fromUtf8("\u061C\u200E\u200F\u202A\u202B\u202C\u202D\u202E\u2066\u2067"
                                   "\u2068\u2069"),
         .shown = "[ALM][LRM][RLM][LRE][RLE][PDF][LRO][RLO][LRI][RLI][FSI][PDI]"},
        {.what = "right-to-left letters stay",
         .text = QString::fromUtf8("\u05E9\u05DC\u05D5\u05DD.txt"),
         .shown = QString::fromUtf8("\u05E9\u05DC\u05D5\u05DD.txt")},
        {.what = "characters beyond 16 bits stay",
         .text = QString::fromUtf8("\U0001F600\u202E"),
         .shown = QString::fromUtf8("\U0001F600[RLO]")},
        {.what = "a link",
         .text = kName,
         .shown = "invoice[RLO]fdp.exe <a href=\"http://x\">click</a>"},
        {.what = "markup and spaces",
         .text = "<b>bold</b>  two  spaces\nnext line",
         .shown = "<b>bold</b>  two  spaces\nnext line"},
        {.what = "an escape Qt reads as rich text", .text = "1 &lt; 2", .shown = "1 &lt; 2"},
    };
    for (const Case& c : cases) {
        QCOMPARE(DisplayText(c.text), c.shown);
        QVERIFY2(ReadToolTip(ToolTipText(c.text)) == c.shown, c.what);
    }
}

void DisplayTextTest::theGridShowsANameAsItsCharactersStand() {
    const std::string hash(40, 'a');
    const std::string name = Utf8Of(kName);
    G grid;
    grid.SetRowCount(2);
    grid.SetRowCells(1, G::TRow{"", name, hash, "\"udp://t\"", "1", "1 MB"});
    GridModel model(grid);
    const QModelIndex cell = model.index(0, G::ColName - 1);
    for (const int role : {Qt::DisplayRole, Qt::AccessibleTextRole}) {
        const QString shown = model.data(cell, role).toString();
        QVERIFY(!shown.contains(QChar(0x202E)));
        QCOMPARE(shown, DisplayText(kName));
    }
    QCOMPARE(ReadToolTip(model.data(cell, Qt::ToolTipRole).toString()), DisplayText(kName));

    // The cell and the link keep the name as it is, the override percent-encoded.
    QCOMPARE(grid.Cell(G::ColName, 1), name);
    const std::string link = MagnetLinkOfRow(name, hash, grid.Cell(G::ColTrackers, 1));
    QVERIFY(QString::fromStdString(link).contains("dn=invoice%E2%80%AEfdp.exe%20%3Ca"));
}

void DisplayTextTest::boxesArePlainText() {
    const QString details = QString::fromUtf8("b\u202Ead.torrent");
    for (const bool withDetails : {false, true}) {
        const ShownBox box = RealBox([&] {
            if (withDetails) {
                MessageBoxes::errorWithDetails(m_Form.get(), kName, details);
            } else {
                MessageBoxes::error(m_Form.get(), kName);
            }
        });
        QVERIFY(box.Seen);
        QCOMPARE(box.Format, Qt::PlainText);
        QCOMPARE(box.Text, DisplayText(kName));
        QCOMPARE(box.Details, withDetails ? QString("b[RLO]ad.torrent") : QString());
    }
}

void DisplayTextTest::theWindowsBoxesAndStatusLine() {
    writeOptions(false, false);
    m_Form = makeForm();

    // A torrent of that name: the grid, its tool tip and the status line show its marks.
    const QString file = m_Dir->filePath("odd.torrent");
    const std::string name = Utf8Of(kName);
    std::ofstream(file.toStdString(), std::ios::binary)
        << "d8:announce10:http://t/a4:infod6:lengthi1e4:name" << name.size() << ":" << name
        << "12:piece lengthi16384e6:pieces20:01234567890123456789ee";
    m_Form->AddFile(file);
    waitForAdds();
    QCOMPARE(QString::fromStdString(m_Form->List().Grid().Cell(G::ColName, 1)), kName);
    const QAbstractItemModel* model = child<GridView>("StringGrid1")->model();
    const QModelIndex cell = model->index(0, G::ColName - 1);
    QCOMPARE(model->data(cell, Qt::DisplayRole).toString(), DisplayText(kName));
    QCOMPARE(ReadToolTip(model->data(cell, Qt::ToolTipRole).toString()), DisplayText(kName));
    m_Form->List().Click();
    QVERIFY2(status().contains(DisplayText(kName)), qPrintable(status()));
    QVERIFY(!status().contains(QChar(0x202E)));
    QCOMPARE(child<QLabel>("StatusText")->textFormat(), Qt::PlainText);

    // The tracker editor's caption, through the window's own command.
    QString caption;
    QTimer::singleShot(0, this, [&] {
        auto* editor = m_Form->findChild<QDialog*>("EditForm");
        caption = editor->windowTitle();
        editor->reject();
    });
    child<QAction>("Edittrackerlist")->trigger();
    QCOMPARE(caption, "Editing: " + DisplayText(kName));

    // A file that cannot be read, named with an override and markup: its box and the status
    // line name it with the mark.
    MessageBoxes::clearShown();
    const QString missing = m_Dir->filePath(QString::fromUtf8("gone <b>bold\u202Efdp.torrent"));
    m_Form->AddFile(missing);
    waitForAdds();
    const QString shownName = DisplayText(QFileInfo(missing).fileName());
    QCOMPARE(MessageBoxes::shown().size(), 1);
    QVERIFY2(MessageBoxes::shown()[0].contains(shownName), qPrintable(MessageBoxes::shown()[0]));
    QVERIFY(!MessageBoxes::shown()[0].contains(QChar(0x202E)));
    QVERIFY2(status().contains(shownName), qPrintable(status()));
}

QTEST_MAIN(DisplayTextTest)
#include "DisplayTextTest.moc"
