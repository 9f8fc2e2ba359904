#include "network/TrackerFetcher.h"

#include "qtsupport/Utf8Text.h"
#include "trackers/TrackerMerge.h"

#include <QLocale>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

namespace lintervale {

namespace {

using G = TTorrentGrid;

// Read at most this much of the answer at a time, so that the size limit holds while the
// answer arrives rather than after it has been buffered.
constexpr qint64 kReadBufferBytes = 64 * 1024;

} // namespace

TrackerFetcher::TrackerFetcher(TTorrentList& List, TListHost& Host, QObject* Parent)
    : QObject(Parent), m_List(List), m_Host(Host), m_Collator(QLocale()) {
    m_Collator.setCaseSensitivity(Qt::CaseInsensitive);
    m_Network = new QNetworkAccessManager(this);
    m_Deadline = new QTimer(this);
    m_Deadline->setSingleShot(true);
    connect(m_Deadline, &QTimer::timeout, this, [this] {
        if (m_Reply != nullptr) {
            m_Refused = true;
            m_Reply->abort();
        }
    });
}

TrackerFetcher::~TrackerFetcher() {
    if (m_Reply != nullptr) {
        m_Reply->disconnect(this);
        m_Reply->abort();
    }
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
        m_HaveList = false;
        m_ListTrackers.clear();
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
    m_StallMilliseconds = StallMilliseconds;
    m_TotalMilliseconds = TotalMilliseconds;
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
    return (m_Reply != nullptr && m_Hash == Hash) || m_Ending.count(Hash) != 0 ||
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
        std::string hash = std::move(m_Queue.front());
        m_Queue.pop_front();
        const std::vector<int> rows = rowsWithHash(hash);
        if (rows.empty()) {
            emit fetchEnded(hash);
            continue;
        }
        const bool fromList = usesTrackerList();
        if (fromList && (m_HaveList || m_ListFailed)) {
            // A failed fetch of the list was reported once, for the whole queue.
            TOutcome outcome;
            outcome.Failed = !m_HaveList;
            outcome.Reported = !m_HaveList;
            outcome.Answer.Trackers = m_ListTrackers;
            completeLater(std::move(hash), std::move(outcome));
            return;
        }
        m_Host.SetStatusText(
            TMessage(kFetchingText, {m_List.Grid().Cell(G::ColName, rows.front())}));

        QUrl url(fromList ? m_ListUrl : m_BaseUrl);
        if (!IsWebAddress(url)) {
            m_ListFailed = fromList;
            completeLater(std::move(hash), TOutcome{});
            return;
        }
        if (!fromList) {
            // The hash goes into the path as it stands; the address escapes what it must.
            url.setPath(url.path(QUrl::FullyDecoded) + "/announce_" + QStringOf(hash),
                        QUrl::DecodedMode);
        }
        m_Hash = std::move(hash);
        m_RequestedList = fromList ? m_ListUrl : QString();
        startRequest(url);
        return;
    }
    m_Running = false;
    m_ListFailed = false;
    emit idle();
}

void TrackerFetcher::startRequest(const QUrl& Url) {
    m_Answer.clear();
    m_Refused = false;
    m_Reply = m_Network->get(boundedRequest(Url, m_StallMilliseconds, kMaxRedirects));
    m_Reply->setReadBufferSize(kReadBufferBytes);
    // The network code follows http and https targets only and refuses the rest; this
    // holds the same line should that ever change.
    connect(m_Reply, &QNetworkReply::redirected, this, [this](const QUrl& Target) {
        if (!IsWebAddress(Target)) {
            m_Refused = true;
            m_Reply->abort();
        }
    });
    connect(m_Reply, &QNetworkReply::metaDataChanged, this, [this] {
        const QVariant length = m_Reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > kMaxAnswerBytes) {
            m_Refused = true;
            m_Reply->abort();
        }
    });
    connect(m_Reply, &QNetworkReply::readyRead, this, &TrackerFetcher::readAnswer);
    connect(m_Reply, &QNetworkReply::finished, this, &TrackerFetcher::finishReply);
    m_Deadline->start(m_TotalMilliseconds);
}

void TrackerFetcher::readAnswer() {
    if (m_Refused) {
        return;
    }
    m_Answer += m_Reply->read(kMaxAnswerBytes + 1 - m_Answer.size());
    if (m_Answer.size() > kMaxAnswerBytes) {
        m_Refused = true;
        m_Reply->abort();
    }
}

void TrackerFetcher::finishReply() {
    QNetworkReply* reply = m_Reply;
    m_Reply = nullptr;
    m_Deadline->stop();
    reply->disconnect(this);
    reply->deleteLater();

    TOutcome outcome;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (!m_Refused && reply->error() == QNetworkReply::NoError && status >= 200 && status < 300) {
        m_Answer += reply->read(kMaxAnswerBytes + 1 - m_Answer.size());
        outcome.Failed = m_Answer.size() > kMaxAnswerBytes;
    }
    const std::string_view answer(m_Answer.constData(), static_cast<std::size_t>(m_Answer.size()));
    if (!outcome.Failed && m_RequestedList.isEmpty()) {
        outcome.Answer = ReadTrackerAnswer(answer);
    } else if (!outcome.Failed) {
        // A list without a single tracker (a login page, an error page sent as 200) is no
        // list: it is not kept, so a later fetch tries again.
        outcome.Answer.Trackers = ReadTrackerList(answer);
        outcome.Failed = outcome.Answer.Trackers.empty();
        if (!outcome.Failed && m_RequestedList == m_ListUrl) {
            m_ListTrackers = outcome.Answer.Trackers;
            m_HaveList = true;
        }
    }
    m_ListFailed = outcome.Failed && !m_RequestedList.isEmpty();
    m_Answer.clear();
    completeLater(std::move(m_Hash), std::move(outcome));
}

// Handles an outcome once the reply's signals have returned, so that a message box shown
// for it never runs inside the network code.
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
    if (Outcome.Failed) {
        if (!Outcome.Reported) {
            m_Host.SetStatusText(TMessage(kFetchFailedText));
            if (!m_Host.QuietMode()) {
                m_Host.ShowNotice(TMessage(kFetchFailedText));
            }
        }
        return;
    }
    const TTrackerCompare order = [this](std::string_view A, std::string_view B) {
        return compare(A, B);
    };
    const std::vector<std::string>& fetched = Outcome.Answer.Trackers;
    G& grid = m_List.Grid();
    std::vector<int> rows = rowsWithHash(Hash);
    if (rows.empty()) {
        m_Host.SetStatusText(TMessage());
        return;
    }
    std::string first = MergeTrackers(grid.Cell(G::ColTrackers, rows.front()), fetched, order);
    if (Outcome.Answer.NotFound) {
        const TMessage text(kHashNotFoundText, {Utf8Of(sourceName())});
        m_Host.SetStatusText(text);
        if (!m_Host.QuietMode()) {
            m_Host.ShowNotice(text);
            // While the box was open the rows may have changed: look again.
            rows = rowsWithHash(Hash);
            if (!rows.empty()) {
                first = MergeTrackers(grid.Cell(G::ColTrackers, rows.front()), fetched, order);
            }
        }
    }
    for (std::size_t i = 0; i < rows.size(); ++i) {
        grid.SetCell(G::ColTrackers, rows[i],
                     i == 0 ? std::move(first)
                            : MergeTrackers(grid.Cell(G::ColTrackers, rows[i]), fetched, order));
    }
    m_Host.SetStatusText(TMessage());
}

} // namespace lintervale
