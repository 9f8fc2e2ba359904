#pragma once

// Adding to the list in batches: files and rows made already (from links, from downloads)
// wait in order and go in slice by slice, read and loaded ahead on other cores. Between
// slices the window handles its events; a batch longer than one slice shows its progress on
// the status line. A batch of more than one item gives no box per item: at its end the status
// line tells what it came to ("220 added, 3 already listed, 15 refused") with the notes
// gathered meanwhile, and the refusals come in one list.

#include "list/BatchLoader.h"
#include "list/BatchReport.h"
#include "list/MagnetRows.h"
#include "list/TorrentList.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>
#include <string>
#include <vector>

class QLabel;

namespace lintervale {

class GridModel;

class BatchAdder final : public QObject {
    Q_OBJECT
public:
    BatchAdder(TTorrentList& List, GridModel& Model, QLabel& Status, QObject* Parent);
    ~BatchAdder() override;

    // Queue files or rows; start() works the queue through unless that is under way.
    void queueFiles(const QStringList& FileNames, bool SkipMissing);
    void queueRows(std::vector<TTorrentRow> Rows, bool Links);
    // A row made from a torrent in memory (a download), whose Bytes are kept as a file's.
    void queueTorrent(TTorrentRow Row, std::string Bytes);
    void start();
    // Reads Text for magnet links and queues a row for each, in the text's order, and starts;
    // links that make no row, and a text cut at its limit, are named on the status line once
    // the batch is through.
    void addLinkText(const QString& Text);
    // Appends Note to what the status line says at the end of the batch.
    void addNote(const QString& Note);
    // Whether rows wait or are being added; whether a batch runs (its end is yet to come).
    bool adding() const { return m_Loader != nullptr || !m_Pending.empty(); }
    bool running() const { return m_Processing; }
    // Drops what waits: the window closes.
    void stop();
    // How long one slice works before the window handles its events: the window's choice
    // between a batch's speed and how smoothly it answers meanwhile. A slice adds at least
    // one item, so 0 adds one item a slice.
    void setSliceMilliseconds(int Milliseconds) { m_SliceMilliseconds = Milliseconds; }

    // Runs Action with the grid's changes shown, also while a slice is in bulk mode: a modal
    // box lets the view paint. The view stays current until the outermost box is closed,
    // whatever runs and returns inside it meanwhile.
    template <typename F> auto published(F Action);

signals:
    // A text's links are about to join the batch (its rows, and the peers the links name).
    void linksQueued(const TMagnetRows& Links);
    // A batch begins.
    void begun();
    // The batch has been worked through; Added holds the hashes of the rows it added.
    void finished(const std::vector<std::string>& Added);
    // A batch of more than one item refused some: Details names each with its cause, a line
    // each.
    void refused(const QString& Summary, const QString& Details);

private:
    void processPending();
    void finishBatch();
    void showStatus(const QString& Text);
    void beginBulk();
    void endBulk();

    TTorrentList& m_List;
    GridModel& m_Model;
    QLabel& m_Status;
    std::vector<TLoadRequest> m_Pending;
    std::unique_ptr<TBatchLoader> m_Loader; // the batch being added
    int m_SliceMilliseconds = 0;
    int m_Done = 0;
    int m_AddedCount = 0;
    int m_Total = 0;
    int m_Links = 0; // how many of the batch's rows come from magnet links
    // What the status line said when the batch began, and what it adds at the end.
    QString m_StatusBefore;
    QString m_Notes;
    // What the batch came to; kept while it has more than one item.
    TBatchReport m_Report;
    bool m_Reporting = false;
    bool m_KeepFailed = false; // a torrent of this batch could not be kept
    std::vector<std::string> m_Added;
    bool m_Bulk = false;
    bool m_ShowedProgress = false;
    bool m_Processing = false;
};

template <typename F> auto BatchAdder::published(F Action) {
    if (!m_Bulk) {
        return Action();
    }
    endBulk();
    struct Resume {
        BatchAdder& Adder;
        ~Resume() { Adder.beginBulk(); }
    } resume{*this};
    return Action();
}

} // namespace lintervale
