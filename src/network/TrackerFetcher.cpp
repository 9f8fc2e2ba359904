#include "network/TrackerFetcher.h"

#include "qtsupport/Utf8Text.h"
#include "trackers/TrackerMerge.h"

#include <QLocale>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>
#include <algorithm>

namespace lintervale {

namespace {

using G = TTorrentGrid;

// Read at most this much of the answer at a time, so that the size limit holds while the
// answer arrives rather than after it has been buffered.
constexpr qint64 kReadBufferBytes = 64 * 1024;

bool IsWebScheme(const QUrl& Url) {
    return Url.isValid() && (Url.scheme() == "http" || Url.scheme() == "https") &&
           !Url.host().isEmpty();
}

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
}

QString TrackerFetcher::menuCaption() const {
    return "&Get trackers from " + m_Name;
}

void TrackerFetcher::setTimeLimits(int StallMilliseconds, int TotalMilliseconds) {
    m_StallMilliseconds = StallMilliseconds;
    m_TotalMilliseconds = TotalMilliseconds;
}

void TrackerFetcher::fetchSelected() {
    const G& grid = m_List.Grid();
    // Rows that share a hash are asked for once: the answer goes to all of them.
    std::vector<std::string> hashes;
    for (int r = grid.SelectionTop(); r <= grid.SelectionBottom(); ++r) {
        const std::string& hash = grid.Cell(G::ColHash, r);
        if (std::find(hashes.begin(), hashes.end(), hash) == hashes.end()) {
            hashes.push_back(hash);
        }
    }
    m_Queue.insert(m_Queue.end(), hashes.begin(), hashes.end());
    if (!m_Running) {
        m_Running = true;
        startNext();
    }
}

std::vector<int> TrackerFetcher::rowsWithHash(const std::string& Hash) const {
    std::vector<int> rows = m_List.Grid().RowsWithHash(Hash);
    std::erase(rows, 0);
    return rows;
}

int TrackerFetcher::compare(std::string_view A, std::string_view B) const {
    return m_Collator.compare(QStringOf(A), QStringOf(B));
}

// Starts the request for the next queued hash whose row is still listed.
void TrackerFetcher::startNext() {
    while (!m_Queue.empty()) {
        std::string hash = std::move(m_Queue.front());
        m_Queue.pop_front();
        const std::vector<int> rows = rowsWithHash(hash);
        if (rows.empty()) {
            continue;
        }
        m_Host.SetStatusText(kFetchingText + m_List.Grid().Cell(G::ColName, rows.front()));

        QUrl url(m_BaseUrl);
        if (!IsWebScheme(url)) {
            completeLater(std::move(hash), TOutcome{});
            return;
        }
        // The hash goes into the path as it stands; the address escapes what it must.
        url.setPath(url.path(QUrl::FullyDecoded) + "/announce_" + QStringOf(hash),
                    QUrl::DecodedMode);

        QNetworkRequest request(url);
        request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                             QNetworkRequest::NoLessSafeRedirectPolicy);
        request.setMaximumRedirectsAllowed(kMaxRedirects);
        request.setTransferTimeout(m_StallMilliseconds);
        request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Lintervale"));

        m_Hash = std::move(hash);
        m_Answer.clear();
        m_Refused = false;
        m_Reply = m_Network->get(request);
        m_Reply->setReadBufferSize(kReadBufferBytes);
        // The network code follows http and https targets only and refuses the rest; this
        // holds the same line should that ever change.
        connect(m_Reply, &QNetworkReply::redirected, this, [this](const QUrl& Target) {
            if (!IsWebScheme(Target)) {
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
        return;
    }
    m_Running = false;
    emit idle();
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
        outcome.Answer = std::move(m_Answer);
    }
    m_Answer.clear();
    completeLater(std::move(m_Hash), std::move(outcome));
}

// Handles an outcome once the reply's signals have returned, so that a message box shown
// for it never runs inside the network code.
void TrackerFetcher::completeLater(std::string Hash, TOutcome Outcome) {
    QTimer::singleShot(0, this, [this, Hash = std::move(Hash), Outcome = std::move(Outcome)] {
        complete(Hash, Outcome);
        startNext();
    });
}

void TrackerFetcher::complete(const std::string& Hash, const TOutcome& Outcome) {
    if (Outcome.Failed) {
        m_Host.SetStatusText(kFetchFailedText);
        if (!m_Host.QuietMode()) {
            m_Host.ShowNotice(kFetchFailedText);
        }
        return;
    }
    const std::string_view answer(Outcome.Answer.constData(),
                                  static_cast<std::size_t>(Outcome.Answer.size()));
    const TTrackerCompare order = [this](std::string_view A, std::string_view B) {
        return compare(A, B);
    };
    G& grid = m_List.Grid();
    std::vector<int> rows = rowsWithHash(Hash);
    if (rows.empty()) {
        m_Host.SetStatusText(std::string());
        return;
    }
    TTrackerMergeResult first =
        MergeTrackerAnswer(grid.Cell(G::ColTrackers, rows.front()), answer, order);
    if (first.NotFound) {
        const std::string text = kHashNotFoundText + Utf8Of(m_Name) + ".";
        m_Host.SetStatusText(text);
        if (!m_Host.QuietMode()) {
            m_Host.ShowNotice(text);
            // While the box was open the rows may have changed: look again.
            rows = rowsWithHash(Hash);
            if (!rows.empty()) {
                first = MergeTrackerAnswer(grid.Cell(G::ColTrackers, rows.front()), answer, order);
            }
        }
    }
    for (std::size_t i = 0; i < rows.size(); ++i) {
        grid.SetCell(
            G::ColTrackers, rows[i],
            i == 0 ? std::move(first.Cell)
                   : MergeTrackerAnswer(grid.Cell(G::ColTrackers, rows[i]), answer, order).Cell);
    }
    m_Host.SetStatusText(std::string());
}

} // namespace lintervale
