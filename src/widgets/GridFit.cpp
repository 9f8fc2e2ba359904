#include "widgets/GridFit.h"

#include "widgets/FontUnits.h"
#include "widgets/Translations.h"

#include <QHeaderView>
#include <QStyle>
#include <QTableView>
#include <algorithm>

namespace lintervale {

namespace {

// At the layout's font (FontUnits.h). A column is always as wide as its heading, and the
// short columns as their usual cells: up to 99,999 files, up to 100 GB.
constexpr int kRowHeight = 21;
constexpr int kColumnWidths[] = {235, 237, 166, 47, 60};
constexpr const char* kWidestCells[] = {"", "", "", "00000", "00000 MB"};

} // namespace

GridFit::GridFit(QTableView& View, const QAbstractItemModel& Model, const TTorrentGrid& Grid)
    : m_View(View), m_Grid(Grid) {
    fitToFont();
    // The value columns grow with what the list holds.
    QObject::connect(&Model, &QAbstractItemModel::modelReset, &View,
                     [this] { fitValueColumns(1, m_Grid.RowCount() - 1); });
    QObject::connect(
        &Model, &QAbstractItemModel::rowsInserted, &View,
        [this](const QModelIndex&, int First, int Last) { fitValueColumns(First + 1, Last + 1); });
    QObject::connect(&Model, &QAbstractItemModel::dataChanged, &View,
                     [this](const QModelIndex& TopLeft, const QModelIndex& BottomRight) {
                         fitValueColumns(TopLeft.row() + 1, BottomRight.row() + 1);
                     });
}

void GridFit::fitToFont() {
    const QFontMetrics metrics = m_View.fontMetrics();
    const int rowHeight = std::max(FontScaled(kRowHeight, metrics), metrics.height() + 2);
    QHeaderView* rows = m_View.verticalHeader();
    rows->setMinimumSectionSize(rowHeight);
    rows->setDefaultSectionSize(rowHeight);
    rows->setFixedWidth(rowHeight);

    QHeaderView* columns = m_View.horizontalHeader();
    const QFontMetrics headerMetrics = columns->fontMetrics();
    const int margin = columns->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, columns);
    columns->setFixedHeight(std::max(rowHeight, headerMetrics.height() + 2 * margin));
    // A cell's text keeps the focus frame's margin and one pixel free on each side.
    const int cellMargin =
        2 * (m_View.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &m_View) + 1);
    // A sorted column's heading shows its mark beside the text.
    const int mark =
        columns->style()->pixelMetric(QStyle::PM_HeaderMarkSize, nullptr, columns) + margin;
    for (int c = 0; c < 5; ++c) {
        // The list writes its headings once the window is up: their room is kept from now.
        const int heading =
            headerMetrics.horizontalAdvance(headingText(c + 1)) + 2 * margin + 2 + mark;
        // The count and size columns: their usual cells, or the widest the list holds (digits
        // are equally wide in the fonts in use; the size ends in " MB").
        QString widest = QLatin1String(kWidestCells[c]);
        if (c >= 3) {
            const int digits = m_FittedChars[c - 3] - (c == 4 ? 3 : 0);
            if (digits > widest.size() - (c == 4 ? 3 : 0)) {
                widest = QString(digits, '0') + (c == 4 ? " MB" : "");
            }
        }
        const int cells = metrics.horizontalAdvance(widest) + cellMargin;
        const int width = std::max({FontScaled(kColumnWidths[c], metrics), heading, cells});
        if (c < 3 && m_View.columnWidth(c) > width) {
            continue; // the user's (or the window's) wider choice stays
        }
        m_View.setColumnWidth(c, width);
    }
}

void GridFit::viewResized(int Grown) {
    const int name = TTorrentGrid::ColName - 1;
    const int usual = FontScaled(kColumnWidths[name], m_View.fontMetrics());
    m_View.setColumnWidth(name, std::max(usual, m_View.columnWidth(name) + Grown));
}

void GridFit::fitValueColumns(int First, int Last) {
    int chars[2] = {0, 0};
    for (int r = std::max(First, 1); r <= Last && r < m_Grid.RowCount(); ++r) {
        chars[0] =
            std::max(chars[0], static_cast<int>(m_Grid.Cell(TTorrentGrid::ColFiles, r).size()));
        chars[1] =
            std::max(chars[1], static_cast<int>(m_Grid.Cell(TTorrentGrid::ColSize, r).size()));
    }
    if (chars[0] <= m_FittedChars[0] && chars[1] <= m_FittedChars[1]) {
        return;
    }
    m_FittedChars[0] = std::max(chars[0], m_FittedChars[0]);
    m_FittedChars[1] = std::max(chars[1], m_FittedChars[1]);
    fitToFont();
}

} // namespace lintervale
