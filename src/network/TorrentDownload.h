#pragma once

// Downloading a .torrent file from a web address into memory, as a dropped link asks.
//
// start() takes an http or https address and reads the answer as it arrives, within the
// tracker fetch's bounds: kStallMilliseconds without progress (connecting included),
// kTotalMilliseconds in all, at most kMaxRedirects redirects and each to http or https
// (never from https down to http), and at most kMaxBytes of body, whether declared or
// streamed. progress() reports the bytes so far. Then exactly one of succeeded() (the whole
// body) and failed() (a text for the status line and the box, naming the address and the
// reason) follows, always from the event loop, never from inside start() or the network
// code: a receiver may show a box, start the next download or delete the object with
// deleteLater(). abort() ends a download without either signal; a start() during a
// download aborts that one first.

#include "network/WebRequest.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;
class QTimer;

namespace lintervale {

class TorrentDownload final : public QObject {
    Q_OBJECT
public:
    static constexpr int kStallMilliseconds = kWebStallMilliseconds;
    static constexpr int kTotalMilliseconds = kWebTotalMilliseconds;
    static constexpr qint64 kMaxBytes = 10 * 1024 * 1024;
    static constexpr int kMaxRedirects = kWebMaxRedirects;

    explicit TorrentDownload(QObject* Parent = nullptr);
    ~TorrentDownload() override;

    void setTimeLimits(int StallMilliseconds, int TotalMilliseconds);
    void setMaxBytes(qint64 Bytes);

    void start(const QUrl& Url);
    void abort();
    // From start() until its signal is emitted or abort().
    bool busy() const { return m_Busy; }
    QUrl url() const { return m_Url; }

signals:
    // Total is the declared size, or -1 when the server does not say.
    void progress(qint64 Received, qint64 Total);
    void succeeded(const QByteArray& Bytes);
    void failed(const QString& Text);

private:
    void readBody();
    void finishReply();
    // Stops the reply for Reason; finishReply reports it.
    void refuse(const QString& Reason);
    void failLater(const QString& Reason);
    // Emits from the event loop unless the download is aborted or started again first.
    template <typename TEmit> void emitLater(TEmit Emit);

    QNetworkAccessManager* m_Network = nullptr;
    QTimer* m_Deadline = nullptr;
    int m_StallMilliseconds = kStallMilliseconds;
    int m_TotalMilliseconds = kTotalMilliseconds;
    qint64 m_MaxBytes = kMaxBytes;

    QUrl m_Url;
    QNetworkReply* m_Reply = nullptr;
    QByteArray m_Body;
    qint64 m_Declared = -1;
    QString m_Refusal; // why this side stopped the reply, when it did
    bool m_Busy = false;
    quint64 m_Run = 0; // counts starts and aborts, so that a late signal of an old run is dropped
};

} // namespace lintervale
