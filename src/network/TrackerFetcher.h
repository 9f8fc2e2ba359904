#pragma once

// Fetching trackers for the selected rows: from the tracker-search service, asked for each
// hash, while its address is set; otherwise from a public list of trackers, fetched once per
// run and then kept in memory, the same list merged into every row.
//
// fetchSelected takes the hashes of the selected rows, in row order, at the moment it is
// called and queues them (rows without a hash are passed over); the requests run one at a
// time in the order asked, without ever blocking the window. Each answer is merged into the
// tracker cell of the row that holds its hash when the answer arrives, wherever that row is
// then (every such row, should several hold it); an answer whose row is gone is dropped, and
// a queued hash whose row is gone before its turn is not asked for. Every request is
// bounded: a time limit without progress, a time limit in all, a size limit on the answer,
// http and https only, and a few redirects at most. A failed request shows its text on the
// status line and, unless quiet mode is on, in the host's notice box; the next hash is still
// asked for. A failed fetch of the list is reported once: the hashes queued with it get
// nothing, and the next fetch tries the list again. A list that names no tracker counts as
// failed.

#include "list/ListHost.h"
#include "list/TorrentList.h"
#include "network/WebRequest.h"
#include "trackers/TrackerMerge.h"

#include <QCollator>
#include <QObject>
#include <QString>
#include <deque>
#include <set>
#include <string>
#include <string_view>
#include <vector>

class QNetworkAccessManager;
class QNetworkReply;
class QTimer;
class QUrl;

namespace lintervale {

inline constexpr const char* kFetchingText = Translatable("Message", "Fetching trackers for: %1");
inline constexpr const char* kFetchFailedText =
    Translatable("Message", "Could not fetch trackers.");
inline constexpr const char* kHashNotFoundText = Translatable("Message", "Hash not found on %1.");

class TrackerFetcher final : public QObject {
    Q_OBJECT
public:
    static constexpr int kStallMilliseconds = kWebStallMilliseconds;
    static constexpr int kTotalMilliseconds = kWebTotalMilliseconds;
    static constexpr qint64 kMaxAnswerBytes = 1024 * 1024;
    static constexpr int kMaxRedirects = kWebMaxRedirects;

    TrackerFetcher(TTorrentList& List, TListHost& Host, QObject* Parent = nullptr);
    ~TrackerFetcher() override;

    // The service's base address (the hash is asked for at BaseUrl + "/announce_" + hash)
    // and the name that the menu caption and the "not found" message show (the address's
    // host when empty). An empty address leaves the service unused.
    void setService(QString BaseUrl, QString Name);
    QString serviceUrl() const { return m_BaseUrl; }
    QString serviceName() const { return m_Name; }
    // The address of the public list used while no service is set; a new address drops the
    // list kept in memory.
    void setTrackerList(QString Url);
    QString trackerListUrl() const { return m_ListUrl; }
    // Whether fetches use the list (no service address is set).
    bool usesTrackerList() const;
    // "&Get trackers from " followed by the service's name, or the list's host.
    QString menuCaption() const;

    // How long a request may go without progress (connecting included) and in all.
    void setTimeLimits(int StallMilliseconds, int TotalMilliseconds);

    // Queues the hashes of the selected rows and starts fetching unless a fetch runs.
    void fetchSelected();
    // Whether requests are queued or running.
    bool busy() const { return m_Running; }
    // Whether the fetch of Hash is queued or running.
    bool pending(const std::string& Hash) const;

signals:
    // The fetch of one queued hash has ended: its answer was merged, it failed, timed out or
    // was refused, or its row was gone before its turn. Once for each time it was queued.
    void fetchEnded(const std::string& Hash);
    // The queue ran empty.
    void idle();
    // The service or the list changed (and with them the menu caption).
    void sourcesChanged();

private:
    struct TOutcome {
        bool Failed = true;
        bool Reported = false; // a failure that was reported already
        TTrackerAnswer Answer;
    };

    void startNext();
    void startRequest(const QUrl& Url);
    // The service's name, or the host of the address in use.
    QString sourceName() const;
    void readAnswer();
    void finishReply();
    void complete(const std::string& Hash, const TOutcome& Outcome);
    void completeLater(std::string Hash, TOutcome Outcome);
    std::vector<int> rowsWithHash(const std::string& Hash) const;
    int compare(std::string_view A, std::string_view B) const;

    TTorrentList& m_List;
    TListHost& m_Host;
    QString m_BaseUrl;
    QString m_Name;
    QString m_ListUrl;
    // The list's trackers, once fetched; and whether its fetch failed for the queue.
    std::vector<std::string> m_ListTrackers;
    bool m_HaveList = false;
    bool m_ListFailed = false;
    int m_StallMilliseconds = kStallMilliseconds;
    int m_TotalMilliseconds = kTotalMilliseconds;
    QCollator m_Collator;

    QNetworkAccessManager* m_Network = nullptr;
    QTimer* m_Deadline = nullptr;
    std::deque<std::string> m_Queue;
    // Hashes whose outcome is being handled (a box may be up for it).
    std::multiset<std::string> m_Ending;
    bool m_Running = false;

    // The request on the way, its hash, the list it fetches (empty: the service) and what
    // has come of it so far.
    QNetworkReply* m_Reply = nullptr;
    std::string m_Hash;
    QString m_RequestedList;
    QByteArray m_Answer;
    bool m_Refused = false; // too big, too slow, or a redirect elsewhere than http(s)
};

} // namespace lintervale
