#include "widgets/StatusReport.h"

#include "list/TorrentGrid.h"
#include "widgets/BatchAdder.h"
#include "widgets/GridModel.h"
#include "widgets/MessageBoxes.h"

#include <QLabel>
#include <QLocale>
#include <QStatusBar>

namespace lintervale {

StatusReport::StatusReport(QStatusBar& Bar, const TTorrentGrid& Grid, GridModel& Model,
                           BatchAdder& Adder, std::function<bool()> Quiet, QWidget* Window)
    : QObject(Window), m_Grid(Grid), m_Quiet(std::move(Quiet)), m_Window(Window) {
    m_Counts = new QLabel;
    m_Counts->setObjectName("ListCounts");
    m_Counts->setAccessibleName(tr("Torrents in the list"));
    Bar.addPermanentWidget(m_Counts);
    for (const auto changed :
         {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved}) {
        connect(&Model, changed, this, &StatusReport::showCounts);
    }
    connect(&Model, &QAbstractItemModel::modelReset, this, &StatusReport::showCounts);
    connect(&Model, &GridModel::gridSelectionChanged, this, &StatusReport::showCounts);
    showCounts();

    m_Details = new QLabel(QStringLiteral("<a href=\"details\">%1</a>").arg(tr("Details")));
    m_Details->setObjectName("BatchDetails");
    m_Details->setTextFormat(Qt::RichText);
    m_Details->setAccessibleName(tr("Details of the last batch"));
    m_Details->hide();
    Bar.addWidget(m_Details);
    connect(m_Details, &QLabel::linkActivated, this, [this] {
        MessageBoxes::errorWithDetails(m_Window, m_Refusals.first, m_Refusals.second);
    });
    connect(&Adder, &BatchAdder::refused, this, &StatusReport::refused);
    connect(&Adder, &BatchAdder::finished, this,
            [this] { m_Details->setVisible(std::exchange(m_BatchRefused, false)); });
}

void StatusReport::showCounts() {
    const bool empty = m_Grid.RowCount() == 2 && m_Grid.Cell(TTorrentGrid::ColName, 1).empty() &&
                       m_Grid.Cell(TTorrentGrid::ColHash, 1).empty();
    const int rows = empty ? 0 : m_Grid.RowCount() - 1;
    const int selected = m_Grid.SelectionBottom() - m_Grid.SelectionTop() + 1;
    const QLocale locale;
    QString text = rows == 1 ? tr("1 torrent") : tr("%1 torrents").arg(locale.toString(rows));
    if (selected > 1 && rows > 1) {
        text = tr("%1, %2 selected").arg(text, locale.toString(selected));
    }
    m_Counts->setText(text);
}

void StatusReport::refused(const QString& Summary, const QString& Details) {
    m_Refusals = {Summary, Details};
    m_BatchRefused = true;
    if (!m_Quiet()) {
        MessageBoxes::errorWithDetails(m_Window, Summary, Details);
    }
}

} // namespace lintervale
