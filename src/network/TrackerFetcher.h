#pragma once

// Fetching trackers for the selected rows: from the tracker-search service, asked for each
// hash, while its address is set; otherwise from a public list of trackers, fetched once per
// run and then kept in memory, the same list merged into every row.
//
// fetchSelected takes the hashes of the selected rows, in row order, at the moment it is
// called and queues them (rows without a hash are passed over); the requests run one at a
// time in the order asked, without ever blocking the window. Each request is a
// BoundedDownload of at most kMaxAnswerBytes (unpacked). An answer is read once, off the GUI
// thread (TrackerMerge.h: only valid addresses, at most a cell's worth), and merged into the
// tracker cell of the row that holds its hash when the reading is done, wherever that row is
// then (every such row, should several hold it), each merge bounded by TrackerLimits.h. An
// answer whose row is gone is dropped, and a queued hash whose row is gone before its turn is
// not asked for. What a merge left out is counted on the status line.
//
// A failed request shows "Could not fetch trackers: " and its cause on the status line and,
// unless quiet mode is on, in the host's notice box; the next hash is still asked for. An
// answer that names no tracker, neither "Not Found" nor empty (a page sent with 200), counts
// as failed. A failed fetch of the list is reported once: the hashes queued with it get
// nothing, and the next fetch tries the list again. A list that names no tracker counts as
// failed.

#include "list/ListDeltas.h"
#include "list/ListHost.h"
#include "list/TorrentList.h"
#include "network/BoundedDownload.h"
#include "trackers/TrackerMerge.h"

#include <QCollator>
#include <QObject>
#include <QString>
#include <deque>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

template <typename T> class QFutureWatcher;

namespace lintervale {

inline constexpr const char* kFetchingText = Translatable("Message", "Fetching trackers for: %1");
inline constexpr const char* kFetchFailedText =
    Translatable("Message", "Could not fetch trackers: %1");
inline constexpr const char* kHashNotFoundText = Translatable("Message", "Hash not found on %1.");

class TrackerFetcher final : public QObject {
    Q_OBJECT
public:
    static constexpr qint64 kMaxAnswerBytes = 1024 * 1024;

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
    // Fetched trackers were merged into tracker cells: Change holds them before and after.
    void trackersMerged(const lintervale::TTrackerChange& Change);
    // The queue ran empty.
    void idle();
    // The service or the list changed (and with them the menu caption).
    void sourcesChanged();

private:
    using TAnswer = std::shared_ptr<const TTrackerAnswer>;
    struct TOutcome {
        bool Failed = false;
        bool Reported = false; // a failure that was reported already
        QString Failure;       // why it failed
        TAnswer Answer;
    };

    void startNext();
    void serveFromList();
    // The service's name, or the host of the address in use.
    QString sourceName() const;
    void downloaded(const BoundedDownload::Result& Result);
    void read();
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
    TAnswer m_ListAnswer;
    bool m_ListFailed = false;
    QCollator m_Collator;

    BoundedDownload* m_Download = nullptr;
    QFutureWatcher<TTrackerAnswer>* m_Reading = nullptr;
    std::deque<std::string> m_Queue;
    // Hashes whose outcome is being handled (a box may be up for it).
    std::multiset<std::string> m_Ending;
    bool m_Running = false;

    // The hash whose request or reading is on the way, and the list it fetches (empty: the
    // service).
    std::string m_Hash;
    bool m_Asking = false;
    QString m_RequestedList;
};

} // namespace lintervale
