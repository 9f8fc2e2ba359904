// No text of the window is cut, whatever the font and the screen's scale: the main window,
// the tracker editor, the tracker sources dialog and the QR code dialog, with the default
// font and a 20-point one, in English and in German. The suite runs this test at the scale
// factor 1 and again at 2 (QT_SCALE_FACTOR). Widths are measured with the widgets' font
// metrics against the room their style gives the text.

#include "tests/widgets/FormTestBase.h"
#include "widgets/EditForm.h"
#include "widgets/QrCodeDialog.h"
#include "widgets/TrackerSourcesDialog.h"
#include "widgets/Translations.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTableView>

using namespace lintervale;

namespace {

// The width a caption takes, its accelerator's "&" not counted.
int TextWidth(const QWidget& Widget, const QString& Text) {
    return Widget.fontMetrics().size(Qt::TextShowMnemonic, Text).width();
}

QString Describe(const QWidget& Widget, const QString& Text, int Needed, int Room) {
    return QString("%1 \"%2\": needs %3, has %4")
        .arg(Widget.objectName(), Text)
        .arg(Needed)
        .arg(Room);
}

// The texts under Root that do not fit where their widget shows them.
QStringList CutTexts(QWidget& Root) {
    QStringList cut;
    const auto check = [&cut](const QWidget& Widget, const QString& Text, int Needed, int Room,
                              int Height, int RoomHeight) {
        if (Needed > Room || Height > RoomHeight) {
            cut.append(Describe(Widget, Text, Needed, Room) +
                       QString(" (height %1 in %2)").arg(Height).arg(RoomHeight));
        }
    };
    for (QAbstractButton* button : Root.findChildren<QAbstractButton*>()) {
        if (!button->isVisibleTo(&Root) || button->text().isEmpty()) {
            continue;
        }
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        option.icon = button->icon();
        option.iconSize = button->iconSize();
        const bool box = qobject_cast<QCheckBox*>(button) != nullptr;
        const QRect room = button->style()->subElementRect(
            box ? QStyle::SE_CheckBoxContents : QStyle::SE_PushButtonContents, &option, button);
        int needed = TextWidth(*button, button->text());
        if (!box && !button->icon().isNull()) {
            needed += button->iconSize().width() + 4;
        }
        check(*button, button->text(), needed, room.width(), button->fontMetrics().height(),
              room.height());
    }
    for (QLabel* label : Root.findChildren<QLabel*>()) {
        if (!label->isVisibleTo(&Root) || label->text().isEmpty() || label->wordWrap()) {
            continue;
        }
        const QRect room = label->contentsRect().adjusted(label->margin(), label->margin(),
                                                          -label->margin(), -label->margin());
        check(*label, label->text(), TextWidth(*label, label->text()), room.width(),
              label->fontMetrics().height(), room.height());
    }
    for (QTableView* grid : Root.findChildren<QTableView*>()) {
        QHeaderView* header = grid->horizontalHeader();
        const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
        for (int c = 0; c < header->count(); ++c) {
            const QString heading = grid->model()->headerData(c, Qt::Horizontal).toString();
            check(*header, heading, header->fontMetrics().horizontalAdvance(heading) + 2 * margin,
                  header->sectionSize(c), header->fontMetrics().height(), header->height());
        }
        const int rowHeight = grid->verticalHeader()->defaultSectionSize();
        // The short cells (number of files, size) show whole; names, hashes and trackers may
        // be longer than any column and are cut at its end, as in any table.
        const int cellMargin =
            2 * (grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid) + 1);
        for (int r = 0; r < grid->model()->rowCount(); ++r) {
            for (const int c : {3, 4}) {
                const QString cell = grid->model()->index(r, c).data().toString();
                check(*grid, cell, grid->fontMetrics().horizontalAdvance(cell) + cellMargin,
                      grid->columnWidth(c), grid->fontMetrics().height(), rowHeight);
            }
        }
    }
    return cut;
}

} // namespace

class TextFitTest : public testing::FormTestBase {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void nothingIsCut_data();
    void nothingIsCut();

private:
    QFont m_Font;
};

void TextFitTest::initTestCase() {
    InitFormResources();
    m_Font = QApplication::font();
    // The suite runs this test as the environment scales it.
    const double scale = qEnvironmentVariable("QT_SCALE_FACTOR", "1").toDouble();
    QCOMPARE(qApp->devicePixelRatio(), scale);
}

void TextFitTest::cleanup() {
    tearDownForm();
    QApplication::setFont(m_Font);
    installTranslations(QLocale::c());
}

void TextFitTest::nothingIsCut_data() {
    QTest::addColumn<int>("points");
    QTest::addColumn<QString>("locale");
    QTest::newRow("default font, English") << 0 << "C";
    QTest::newRow("default font, German") << 0 << "de_DE";
    QTest::newRow("20 points, English") << 20 << "C";
    QTest::newRow("20 points, German") << 20 << "de_DE";
}

void TextFitTest::nothingIsCut() {
    QFETCH(int, points);
    QFETCH(QString, locale);
    if (points > 0) {
        QFont font = m_Font;
        font.setPointSize(points);
        QApplication::setFont(font);
    }
    installTranslations(QLocale(locale));
    setUpForm();
    for (const char* name : {"big.torrent", "tiny"}) {
        m_Form->AddFile(torrent(name));
    }
    m_Form->List().Grid().SetCell(TTorrentGrid::ColFiles, 1, "12345");
    m_Form->List().Grid().SetCell(TTorrentGrid::ColSize, 1, "99999 MB");
    QVERIFY(QTest::qWaitForWindowExposed(m_Form.get()));

    // The first size shows everything the window holds.
    QVERIFY(m_Form->width() >= m_Form->minimumSizeHint().width());
    QVERIFY(m_Form->height() >= m_Form->minimumSizeHint().height());
    auto* panel = m_Form->centralWidget()->findChild<QWidget*>("Panel1");
    QVERIFY(panel->height() >= panel->minimumSizeHint().height());
    QVERIFY(panel->width() >= panel->sizeHint().width());
    QStringList cut = CutTexts(*m_Form);

    auto* editor = m_Form->findChild<EditForm*>("EditForm");
    editor->load(1);
    editor->open();
    QVERIFY(QTest::qWaitForWindowExposed(editor));
    cut += CutTexts(*editor);
    editor->reject();

    TrackerSourcesDialog sources(m_Form.get());
    sources.show();
    QVERIFY(QTest::qWaitForWindowExposed(&sources));
    cut += CutTexts(sources);

    QrCodeDialog code(
        QStringLiteral("magnet:?xt=urn:btih:0123456789abcdef0123456789abcdef01234567"), "n",
        m_Form.get());
    code.show();
    QVERIFY(QTest::qWaitForWindowExposed(&code));
    cut += CutTexts(code);
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join('\n')));
}

QTEST_MAIN(TextFitTest)
#include "TextFitTest.moc"
