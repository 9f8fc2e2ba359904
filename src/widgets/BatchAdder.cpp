#include "widgets/BatchAdder.h"

#include "list/MagnetRows.h"
#include "qtsupport/DisplayText.h"
#include "qtsupport/Utf8Text.h"
#include "widgets/GridModel.h"
#include "widgets/Translations.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QStringView>
#include <QTimer>
#include <algorithm>
#include <utility>

namespace lintervale {

namespace {

// The status line's texts of a batch, by what it holds: files, magnet links, or both.
struct BatchTexts {
    const char* Adding;
    const char* Added;
};
constexpr BatchTexts kBatchTexts[] = {
    {QT_TRANSLATE_NOOP("lintervale::MainForm", "Adding .torrent files: %1 of %2 ..."),
     QT_TRANSLATE_NOOP("lintervale::MainForm", "Added %1 of %2 .torrent files.")},
    {QT_TRANSLATE_NOOP("lintervale::MainForm", "Adding magnet links: %1 of %2 ..."),
     QT_TRANSLATE_NOOP("lintervale::MainForm", "Added %1 of %2 magnet links.")},
    {QT_TRANSLATE_NOOP("lintervale::MainForm",
                       "Adding .torrent files and magnet links: %1 of %2 ..."),
     QT_TRANSLATE_NOOP("lintervale::MainForm", "Added %1 of %2 .torrent files and magnet links.")},
};

QString TextOf(const char* Source) {
    return QCoreApplication::translate("lintervale::MainForm", Source);
}

const BatchTexts& TextsOf(int Links, int Total) {
    return kBatchTexts[Links == 0 ? 0 : Links == Total ? 1 : 2];
}

// Two texts for the status line, side by side.
QString Joined(const QString& First, const QString& Second) {
    if (First.isEmpty() || Second.isEmpty()) {
        return First + Second;
    }
    return First + "  " + Second;
}

} // namespace

BatchAdder::BatchAdder(TTorrentList& List, GridModel& Model, QLabel& Status, QObject* Parent)
    : QObject(Parent), m_List(List), m_Model(Model), m_Status(Status) {}

BatchAdder::~BatchAdder() = default;

void BatchAdder::queueFiles(const QStringList& FileNames, bool SkipMissing) {
    for (const QString& file : FileNames) {
        m_Pending.push_back({Utf8Of(file), SkipMissing, std::nullopt, {}});
    }
    m_Total += static_cast<int>(FileNames.size());
}

void BatchAdder::queueRows(std::vector<TTorrentRow> Rows, bool Links) {
    for (TTorrentRow& row : Rows) {
        m_Pending.push_back({std::string(), false, std::move(row), {}});
    }
    m_Total += static_cast<int>(Rows.size());
    m_Links += Links ? static_cast<int>(Rows.size()) : 0;
}

void BatchAdder::queueTorrent(TTorrentRow Row, std::string Bytes) {
    m_Pending.push_back({std::string(), false, std::move(Row), std::move(Bytes)});
    ++m_Total;
}

void BatchAdder::start() {
    if (!m_Processing) {
        m_StatusBefore = m_Status.text();
        emit begun();
        processPending();
    }
}

void BatchAdder::addLinkText(const QString& Text) {
    // Only the first kMaxLinkTextBytes count; one character more tells that the text was cut,
    // and no character is longer than that in UTF-8 bytes.
    const QByteArray bytes = QStringView(Text).left(kMaxLinkTextBytes + 1).toUtf8();
    TMagnetRows links =
        MagnetRowsOfText({bytes.constData(), static_cast<std::size_t>(bytes.size())});
    // Links that make no row join the batch's report, as refused files do, when the batch has
    // more than one item: its summary counts them and Details names each.
    if (links.Rows.size() + links.RefusedLinks.size() + static_cast<std::size_t>(m_Total) > 1) {
        for (std::string& link : links.RefusedLinks) {
            m_Report.Refused(std::move(link), TMessage(kRefusedLinkCause));
        }
        m_Reporting = m_Reporting || !links.RefusedLinks.empty();
        links.Refused = 0; // the report tells
    }
    if (links.Rows.empty() && links.RefusedLinks.empty()) {
        addNote(TextOf(QT_TRANSLATE_NOOP("lintervale::MainForm", "No magnet link in the text.")));
    }
    addNote(messageText(MagnetRowsStatusText(links)));
    emit linksQueued(links);
    // Each row goes on top: the last link goes in first, so that the list reads as the text.
    std::reverse(links.Rows.begin(), links.Rows.end());
    queueRows(std::move(links.Rows), true);
    // Also without rows: the batch's end shows the notes.
    start();
}

void BatchAdder::addNote(const QString& Note) {
    m_Notes = Joined(m_Notes, Note);
}

void BatchAdder::stop() {
    m_Pending.clear();
    m_Loader.reset();
}

void BatchAdder::showStatus(const QString& Text) {
    m_Status.setText(DisplayText(Text));
}

void BatchAdder::beginBulk() {
    m_Bulk = true;
    m_Model.beginBulk();
}

void BatchAdder::endBulk() {
    m_Bulk = false;
    m_Model.endBulk();
}

// Adds pending files and rows for one slice of time. A slice that adds more than one shows
// its changes once at its end, and a batch longer than one slice shows its progress and lets
// the window handle events between slices.
void BatchAdder::processPending() {
    m_Processing = true;
    if (!m_Loader) {
        // The files are read and loaded ahead on other cores; the rows go in here, in order.
        const unsigned workers = TBatchLoader::WorkersFor(m_Pending);
        m_Loader = std::make_unique<TBatchLoader>(std::move(m_Pending), workers, m_List.Keeper());
        m_Pending.clear();
    }
    QElapsedTimer slice;
    slice.start();
    const bool bulk = m_Loader->Remaining() > 1;
    if (bulk) {
        beginBulk();
    }
    // From the second item of a batch on, the list reports to the batch instead of a box
    // per item.
    m_Reporting = m_Reporting || m_Total > 1;
    m_List.SetBatchReport(m_Reporting ? &m_Report : nullptr);
    TLoadResult loaded;
    for (int inSlice = 0;
         // A close during a message box of this slice ends the batch (m_Loader goes).
         m_Loader && m_Loader->Remaining() > 0 &&
         (inSlice == 0 || slice.elapsed() < m_SliceMilliseconds);
         ++inSlice) {
        m_Loader->Next(loaded);
        if (!loaded.KeepFailure.Empty() && !m_KeepFailed) {
            // Told once a batch: the next failures most likely have the same cause.
            m_KeepFailed = true;
            addNote(messageText(loaded.KeepFailure));
        }
        const TTorrentList::TAddResult result = m_List.AddLoaded(std::move(loaded));
        if (result == TTorrentList::TAddResult::Skipped) {
            --m_Total; // not a file after all: it does not count
            continue;
        }
        ++m_Done;
        if (result == TTorrentList::TAddResult::Added) {
            ++m_AddedCount;
            // A new row goes on top.
            m_Added.push_back(m_List.Grid().Cell(TTorrentGrid::ColHash, 1));
        }
    }
    m_List.SetBatchReport(nullptr);
    if (bulk) {
        endBulk();
    }
    if (m_Loader && m_Loader->Remaining() == 0) {
        m_Loader.reset();
    }
    if (adding()) {
        showStatus(TextOf(TextsOf(m_Links, m_Total).Adding).arg(m_Done).arg(m_Total));
        m_ShowedProgress = true;
        QTimer::singleShot(0, this, &BatchAdder::processPending);
        return;
    }
    finishBatch();
}

// The status line after a batch: the count when it showed progress, and the batch's notes
// after what the adds wrote there.
void BatchAdder::finishBatch() {
    QString text;
    if (m_Reporting && m_Report.Total() > 0) {
        text = messageText(m_Report.Summary());
    } else if (m_ShowedProgress) {
        text = TextOf(TextsOf(m_Links, m_Total).Added).arg(m_AddedCount).arg(m_Total);
    } else if (m_Status.text() != m_StatusBefore) {
        text = m_Status.text();
    }
    if (m_ShowedProgress || m_Reporting || !m_Notes.isEmpty()) {
        showStatus(Joined(text, m_Notes));
    }
    const TBatchReport report = std::exchange(m_Report, TBatchReport());
    std::vector<std::string> added = std::move(m_Added);
    m_Added.clear();
    m_Reporting = false;
    m_KeepFailed = false;
    m_ShowedProgress = false;
    m_Notes.clear();
    m_AddedCount = 0;
    m_Done = 0;
    m_Total = 0;
    m_Links = 0;
    m_Processing = false;
    if (report.RefusedCount() > 0) {
        emit refused(messageText(report.Summary()), messageText(report.Details()));
    }
    emit finished(added);
}

} // namespace lintervale
