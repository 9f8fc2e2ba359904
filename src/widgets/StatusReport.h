#pragma once

// The status bar's lasting parts: the count of rows, and of selected rows when more than one
// is ("7,181 torrents, 12 selected"), and "Details" beside the status line, which opens the
// list of what the last batch refused. The link stays for the last batch that refused some,
// until a batch refuses none. With quiet mode off, a batch's refusals also come as one box.

#include <QObject>
#include <QString>
#include <functional>
#include <utility>

class QLabel;
class QStatusBar;
class QWidget;

namespace lintervale {

class BatchAdder;
class GridModel;
class TTorrentGrid;

class StatusReport final : public QObject {
    Q_OBJECT
public:
    StatusReport(QStatusBar& Bar, const TTorrentGrid& Grid, GridModel& Model, BatchAdder& Adder,
                 std::function<bool()> Quiet, QWidget* Window);

private:
    void showCounts();
    void refused(const QString& Summary, const QString& Details);

    const TTorrentGrid& m_Grid;
    std::function<bool()> m_Quiet;
    QWidget* m_Window;
    QLabel* m_Counts = nullptr;
    QLabel* m_Details = nullptr;
    std::pair<QString, QString> m_Refusals;
    bool m_BatchRefused = false;
};

} // namespace lintervale
