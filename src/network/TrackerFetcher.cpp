#include "network/TrackerFetcher.h"

#include "qtsupport/Utf8Text.h"
#include "trackers/TrackerMessages.h"

#include <QElapsedTimer>
#include <QFutureWatcher>
#include <QLocale>
#include <QTimer>
#include <QUrl>
#include <QtConcurrent/QtConcurrentRun>
#include <unordered_map>

namespace lintervale {

namespace {

using G = TTorrentGrid;

// How long one slice of merging the list in memory into rows may keep the window busy.
constexpr qint64 kSliceMilliseconds = 20;

// Reads an answer or a list once, on a worker thread, with a comparison of its own.
TTrackerAnswer ReadFetched(const QByteArray& Bytes, bool FromList, const QLocale& Locale) {
    QCollator collator(Locale);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    const TTrackerCompare order = [&collator](std::string_view A, std::string_view B) {
        return collator.compare(QStringOf(A), QStringOf(B));
    };
    const std::string_view text(Bytes.constData(), static_cast<std::size_t>(Bytes.size()));
    return FromList ? ReadTrackerList(text, order) : ReadTrackerAnswer(text, order);
}

} // namespace

TrackerFetcher::TrackerFetcher(TTorrentList& List, TListHost& Host, QObject* Parent)
    : QObject(Parent), m_List(List), m_Host(Host), m_Collator(QLocale()) {
    m_Collator.setCaseSensitivity(Qt::CaseInsensitive);
    m_Download = new BoundedDownload(this);
    DownloadBounds bounds;
    bounds.MaxBytes = kMaxAnswerBytes;
    m_Download->setBounds(bounds);
    connect(m_Download, &BoundedDownload::ended, this, &TrackerFetcher::downloaded);
    m_Reading = new QFutureWatcher<TTrackerAnswer>(this);
    connect(m_Reading, &QFutureWatcherBase::finished, this, &TrackerFetcher::read);
}

TrackerFetcher::~TrackerFetcher() {
    // The reading holds copies only; it is short, and is waited for so that nothing of this
    // object's outlives it.
    m_Reading->disconnect(this);
    m_Reading->waitForFinished();
}

void TrackerFetcher::setService(QString BaseUrl, QString Name) {
    m_BaseUrl = std::move(BaseUrl);
    m_Name = std::move(Name);
    emit sourcesChanged();
}

void TrackerFetcher::setTrackerList(QString Url) {
    if (Url != m_ListUrl) {
        // Another list: the one in memory no longer stands for it.
        m_ListUrl = std::move(Url);
        m_ListAnswer.reset();
    }
    emit sourcesChanged();
}

bool TrackerFetcher::usesTrackerList() const {
    return m_BaseUrl.trimmed().isEmpty();
}

QString TrackerFetcher::sourceName() const {
    if (!usesTrackerList() && !m_Name.isEmpty()) {
        return m_Name;
    }
    const QString address = usesTrackerList() ? m_ListUrl : m_BaseUrl;
    const QString host = QUrl(address).host();
    return host.isEmpty() ? address : host;
}

QString TrackerFetcher::menuCaption() const {
    // An "&" of the name is shown as it is, not taken for the item's mnemonic.
    return tr("&Get trackers from %1").arg(QString(sourceName()).replace("&", "&&"));
}

void TrackerFetcher::setTimeLimits(int StallMilliseconds, int TotalMilliseconds) {
    DownloadBounds bounds = m_Download->bounds();
    bounds.StallMilliseconds = StallMilliseconds;
    bounds.TotalMilliseconds = TotalMilliseconds;
    m_Download->setBounds(bounds);
}

void TrackerFetcher::fetchSelected() {
    // Rows that share a hash are asked for once: the answer goes to all of them. Rows
    // without a hash are passed over.
    const std::vector<std::string> hashes = m_List.SelectedHashes();
    if (hashes.empty()) {
        return;
    }
    m_Queue.insert(m_Queue.end(), hashes.begin(), hashes.end());
    if (!m_Running) {
        m_Running = true;
        startNext();
    }
}

bool TrackerFetcher::pending(const std::string& Hash) const {
    return (m_Asking && m_Hash == Hash) || m_Ending.count(Hash) != 0 ||
           std::find(m_Queue.begin(), m_Queue.end(), Hash) != m_Queue.end();
}

std::vector<int> TrackerFetcher::rowsWithHash(const std::string& Hash) const {
    std::vector<int> rows = m_List.Grid().RowsWithHash(Hash);
    std::erase(rows, 0);
    return rows;
}

int TrackerFetcher::compare(std::string_view A, std::string_view B) const {
    return m_Collator.compare(QStringOf(A), QStringOf(B));
}

// Starts the request for the next queued hash whose row is still listed. Without a service
// the public list is fetched for the first such hash; the hashes after it are served from
// memory.
void TrackerFetcher::startNext() {
    while (!m_Queue.empty()) {
        const bool fromList = usesTrackerList();
        if (fromList && (m_ListAnswer != nullptr || m_ListFailed)) {
            QTimer::singleShot(0, this, &TrackerFetcher::serveFromList);
            return;
        }
        std::string hash = std::move(m_Queue.front());
        m_Queue.pop_front();
        const std::vector<int> rows = rowsWithHash(hash);
        if (rows.empty()) {
            emit fetchEnded(hash);
            continue;
        }
        m_Host.SetStatusText(
            TMessage(kFetchingText, {m_List.Grid().Cell(G::ColName, rows.front())}));

        QUrl url(fromList ? m_ListUrl : m_BaseUrl);
        if (!fromList && IsWebAddress(url)) {
            // The hash goes into the path as it stands; the address escapes what it must.
            url.setPath(url.path(QUrl::FullyDecoded) + "/announce_" + QStringOf(hash),
                        QUrl::DecodedMode);
        }
        m_Hash = std::move(hash);
        m_Asking = true;
        m_RequestedList = fromList ? m_ListUrl : QString();
        m_Download->start(url);
        return;
    }
    m_Running = false;
    m_ListFailed = false;
    emit idle();
}

// Merges the list in memory into the rows of the queued hashes, a slice at a time so that the
// window stays responsive, looking the rows up once per slice. A failed fetch of the list was
// reported once, for the whole queue: its hashes get nothing.
void TrackerFetcher::serveFromList() {
    QElapsedTimer clock;
    clock.start();
    G& grid = m_List.Grid();
    std::unordered_map<std::string_view, std::vector<int>> rowsOf;
    for (int row = 1; row < grid.RowCount(); ++row) {
        rowsOf[grid.Cell(G::ColHash, row)].push_back(row);
    }
    const TTrackerCompare order = [this](std::string_view A, std::string_view B) {
        return compare(A, B);
    };
    std::vector<std::string> served;
    TMessage status;
    TTrackerChange change;
    while (!m_Queue.empty() && usesTrackerList() && (m_ListAnswer != nullptr || m_ListFailed) &&
           (served.empty() || clock.elapsed() < kSliceMilliseconds)) {
        served.push_back(std::move(m_Queue.front()));
        m_Queue.pop_front();
        m_Ending.insert(served.back());
        const auto rows = rowsOf.find(served.back());
        if (m_ListAnswer == nullptr || rows == rowsOf.end() || served.back().empty()) {
            continue;
        }
        std::size_t full = 0;
        for (const int row : rows->second) {
            TTrackerMerge merged =
                MergeFetched(grid.Cell(G::ColTrackers, row), *m_ListAnswer, order);
            full = std::max(full, merged.LeftOut);
            change.Record(served.back(), grid.Cell(G::ColTrackers, row), merged.Cell);
            grid.SetCell(G::ColTrackers, row, std::move(merged.Cell));
        }
        status = FetchLeftOutMessage(grid.Cell(G::ColName, rows->second.front()),
                                     m_ListAnswer->Invalid, m_ListAnswer->OverCap + full);
    }
    if (!change.Empty()) {
        emit trackersMerged(change);
    }
    if (m_ListAnswer != nullptr) {
        m_Host.SetStatusText(status);
    }
    for (const std::string& hash : served) {
        m_Ending.erase(m_Ending.find(hash));
        emit fetchEnded(hash);
    }
    startNext();
}

void TrackerFetcher::downloaded(const BoundedDownload::Result& Result) {
    if (!m_Asking) {
        return;
    }
    if (Result.Why != BoundedDownload::Cause::None) {
        m_Asking = false;
        m_ListFailed = !m_RequestedList.isEmpty();
        TOutcome outcome;
        outcome.Failed = true;
        outcome.Failure = Result.Reason;
        completeLater(std::move(m_Hash), std::move(outcome));
        return;
    }
    m_Reading->setFuture(
        QtConcurrent::run(ReadFetched, Result.Bytes, !m_RequestedList.isEmpty(), QLocale()));
}

void TrackerFetcher::read() {
    auto answer = std::make_shared<const TTrackerAnswer>(m_Reading->result());
    TOutcome outcome;
    outcome.Answer = answer;
    if (m_RequestedList.isEmpty()) {
        // A page sent with 200 instead of an answer: nothing in it, and no "Not Found".
        if (answer->Trackers.empty() && !answer->NotFound && answer->HasText) {
            outcome.Failure = tr("the answer names no tracker.");
        }
    } else if (answer->Trackers.empty()) {
        // A list without a single tracker (a login page, an error page sent as 200) is no
        // list: it is not kept, so a later fetch tries again.
        outcome.Failure = tr("the list names no tracker.");
    } else if (m_RequestedList == m_ListUrl) {
        m_ListAnswer = answer;
    }
    outcome.Failed = !outcome.Failure.isEmpty();
    m_ListFailed = outcome.Failed && !m_RequestedList.isEmpty();
    m_Asking = false;
    completeLater(std::move(m_Hash), std::move(outcome));
}

// Handles an outcome from the event loop, so that a message box shown for it never runs
// inside the network code or the reading's signal.
void TrackerFetcher::completeLater(std::string Hash, TOutcome Outcome) {
    m_Ending.insert(Hash);
    QTimer::singleShot(0, this, [this, Hash = std::move(Hash), Outcome = std::move(Outcome)] {
        complete(Hash, Outcome);
        m_Ending.erase(m_Ending.find(Hash));
        emit fetchEnded(Hash);
        startNext();
    });
}

void TrackerFetcher::complete(const std::string& Hash, const TOutcome& Outcome) {
    G& grid = m_List.Grid();
    std::vector<int> rows = rowsWithHash(Hash);
    const std::string name = rows.empty() ? std::string() : grid.Cell(G::ColName, rows.front());
    if (Outcome.Failed) {
        if (!Outcome.Reported) {
            TMessage text(kFetchFailedText, {Utf8Of(Outcome.Failure)});
            if (Outcome.Answer != nullptr && Outcome.Answer->Invalid > 0) {
                text += TMessage::Verbatim(" ");
                text += FetchLeftOutMessage(name, Outcome.Answer->Invalid, 0);
            }
            m_Host.SetStatusText(text);
            if (!m_Host.QuietMode()) {
                m_Host.ShowNotice(text);
            }
        }
        return;
    }
    if (rows.empty()) {
        m_Host.SetStatusText(TMessage());
        return;
    }
    const TTrackerAnswer& fetched = *Outcome.Answer;
    if (fetched.NotFound) {
        const TMessage text(kHashNotFoundText, {Utf8Of(sourceName())});
        m_Host.SetStatusText(text);
        if (!m_Host.QuietMode()) {
            m_Host.ShowNotice(text);
            // While the box was open the rows may have changed: look again.
            rows = rowsWithHash(Hash);
        }
    }
    const TTrackerCompare order = [this](std::string_view A, std::string_view B) {
        return compare(A, B);
    };
    std::size_t full = 0;
    TTrackerChange change;
    for (const int row : rows) {
        TTrackerMerge merged = MergeFetched(grid.Cell(G::ColTrackers, row), fetched, order);
        full = std::max(full, merged.LeftOut);
        change.Record(Hash, grid.Cell(G::ColTrackers, row), merged.Cell);
        grid.SetCell(G::ColTrackers, row, std::move(merged.Cell));
    }
    if (!change.Empty()) {
        emit trackersMerged(change);
    }
    m_Host.SetStatusText(FetchLeftOutMessage(name, fetched.Invalid, fetched.OverCap + full));
}

} // namespace lintervale
