#pragma once

// Fetching torrents' contents from peers for the window: the fetching session
// (fetch/ContentsFetch.h) seen from the event loop. The session, and with it the fetching
// module and libtorrent, is loaded on the first fetch(); the window links neither.
//
// A fetch is known by its hash: the row's hash cell (the v1 hash, or the v2 hash of a link
// that has no other). progress() reports it while it runs; then exactly one of fetched() (the
// .torrent's bytes) and failed() (the cause, for the status line and the row) follows, always
// from the event loop, never from inside fetch(): a receiver may show a box or start the next
// fetch. cancel() and cancelAll() end fetches without either signal, and so does the
// destructor, which returns once the session's threads are gone.

#include "fetch/ContentsFetch.h"
#include "messages/Message.h"

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

namespace lintervale {

class ContentsFetcher final : public QObject {
    Q_OBJECT
public:
    // Makes the session; fetch/FetchModule.h's MakeFetchSession unless another is given.
    using SessionMaker = std::function<std::unique_ptr<IContentsFetchSession>(
        const TFetchSettings& Settings, TFetchHandler Handler, TMessage& Error)>;

    explicit ContentsFetcher(QObject* Parent = nullptr);
    explicit ContentsFetcher(SessionMaker Maker, QObject* Parent = nullptr);
    ~ContentsFetcher() override;

    // The hash a fetch of Request is known by.
    static QString hashOf(const TFetchRequest& Request);

    // How the session meets the network. A session made already is replaced by one with these
    // settings at the next fetch() that finds no fetch running.
    void setSettings(const TFetchSettings& Settings);
    bool isFetching(const QString& Hash) const { return m_Ids.contains(Hash); }
    int fetchingCount() const { return static_cast<int>(m_Ids.size()); }

public slots:
    // Starts fetching Request's contents; nothing happens when its hash is being fetched.
    void fetch(const TFetchRequest& Request);
    void cancel(const QString& Hash);
    void cancelAll();

signals:
    // Peers connected, and the share of the contents received (parts per million).
    void progress(const QString& Hash, int Peers, int PartsPerMillion);
    void fetched(const QString& Hash, const QByteArray& Torrent);
    void failed(const QString& Hash, const QString& Message);

private:
    bool makeSession(QString& Error);
    // On the event loop: an event of the session.
    void deliver(const TFetchEvent& Event);
    void failLater(const QString& Hash, const QString& Message);

    SessionMaker m_Maker;
    TFetchSettings m_Settings;
    bool m_SettingsChanged = false;
    std::unique_ptr<IContentsFetchSession> m_Session;
    QHash<QString, TFetchId> m_Ids;
    QHash<TFetchId, QString> m_Hashes;
};

} // namespace lintervale
