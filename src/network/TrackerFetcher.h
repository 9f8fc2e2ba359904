#pragma once

// Fetching trackers from the tracker-search service for the selected rows.
//
// fetchSelected takes the hashes of the selected rows, in row order, at the moment it is
// called and queues them; the requests run one at a time in the order asked, without ever
// blocking the window. Each answer is merged into the tracker cell of the row that holds its
// hash when the answer arrives, wherever that row is then (every such row, should several
// hold it); an answer whose row is gone is dropped, and a queued hash whose row is gone
// before its turn is not asked for. Every request is bounded: a time limit without
// progress, a time limit in all, a size limit on the answer, http and https only, and a few
// redirects at most. A failed request shows its text on the status line and, unless quiet
// mode is on, in the host's notice box; the next hash is still asked for.

#include "list/ListHost.h"
#include "list/TorrentList.h"

#include <QCollator>
#include <QObject>
#include <QString>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

class QNetworkAccessManager;
class QNetworkReply;
class QTimer;

namespace lintervale {

inline constexpr const char* kFetchingText = "Fetching trackers for: ";
inline constexpr const char* kFetchFailedText = "Could not fetch trackers.";
inline constexpr const char* kHashNotFoundText = "Hash not found on ";

class TrackerFetcher final : public QObject {
    Q_OBJECT
public:
    static constexpr int kStallMilliseconds = 5000;
    static constexpr int kTotalMilliseconds = 20000;
    static constexpr qint64 kMaxAnswerBytes = 1024 * 1024;
    static constexpr int kMaxRedirects = 5;

    TrackerFetcher(TTorrentList& List, TListHost& Host, QObject* Parent = nullptr);
    ~TrackerFetcher() override;

    // The service's base address (the hash is asked for at BaseUrl + "/announce_" + hash)
    // and the name that the menu caption and the "not found" message show.
    void setService(QString BaseUrl, QString Name);
    QString serviceUrl() const { return m_BaseUrl; }
    QString serviceName() const { return m_Name; }
    // "&Get trackers from " followed by the service's name.
    QString menuCaption() const;

    // How long a request may go without progress (connecting included) and in all.
    void setTimeLimits(int StallMilliseconds, int TotalMilliseconds);

    // Queues the hashes of the selected rows and starts fetching unless a fetch runs.
    void fetchSelected();
    // Whether requests are queued or running.
    bool busy() const { return m_Running; }

signals:
    // The queue ran empty.
    void idle();

private:
    struct TOutcome {
        bool Failed = true;
        QByteArray Answer;
    };

    void startNext();
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
    int m_StallMilliseconds = kStallMilliseconds;
    int m_TotalMilliseconds = kTotalMilliseconds;
    QCollator m_Collator;

    QNetworkAccessManager* m_Network = nullptr;
    QTimer* m_Deadline = nullptr;
    std::deque<std::string> m_Queue;
    bool m_Running = false;

    // The request on the way, its hash and what has come of it so far.
    QNetworkReply* m_Reply = nullptr;
    std::string m_Hash;
    QByteArray m_Answer;
    bool m_Refused = false; // too big, too slow, or a redirect elsewhere than http(s)
};

} // namespace lintervale
