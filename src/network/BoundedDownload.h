#pragma once

// One download from a web address into memory, within bounds, that ends exactly once.
//
// start() takes an http or https address and reads the answer as it arrives. The bounds
// (DownloadBounds): at most MaxBytes of body, counted as the bytes arrive after any unpacking
// of a Content-Encoding, and refused at once when the server declares more; StallMilliseconds
// without progress (connecting included); TotalMilliseconds in all; at most MaxRedirects
// redirects, each to http or https and never from https down to http.
//
// Every start() is followed by exactly one ended(), with the body or with the cause that
// stopped it: a bound, a refused address or redirect, an error status, a network error, or
// abort(). ended() always comes from the event loop, never from inside start(), abort() or
// the network code, so a receiver may show a box, start the next download or delete the
// object with deleteLater(). A start() while a download runs aborts that one first (it ends
// with Cause::Aborted before the new one ends). Destroying the object ends a download without
// a signal.
//
// The reply is let go before it is aborted, and aborted once its own signal has returned: an
// abort from inside a reply's signal can make the network code report a second error.

#include "network/WebRequest.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QUrl>
#include <memory>

class QNetworkAccessManager;
class QNetworkReply;
class QTimer;

namespace lintervale {

class BodyUnpacker;

struct DownloadBounds {
    qint64 MaxBytes = 0;
    int StallMilliseconds = kWebStallMilliseconds;
    int TotalMilliseconds = kWebTotalMilliseconds;
    int MaxRedirects = kWebMaxRedirects;
};

class BoundedDownload final : public QObject {
    Q_OBJECT
public:
    enum class Cause {
        None,             // the body came whole
        Aborted,          // abort(), or a start() that replaced this download
        NotWebAddress,    // the address is not http or https with a host
        TooLarge,         // over MaxBytes, declared or as it arrived
        TooLargeUnpacked, // over MaxBytes once the Content-Encoding was unpacked
        Stalled,          // nothing came for StallMilliseconds
        TooSlow,          // not done in TotalMilliseconds
        TooManyRedirects,
        RedirectRefused, // sent on to an address that is not http or https
        HttpStatus,      // the server answered other than 2xx
        BadPacking,      // a Content-Encoding not asked for, or a damaged packed body
        NetworkError,    // the connection failed, or the network code gave up
    };
    struct Result {
        Cause Why = Cause::None;
        QByteArray Bytes{}; // the body, when Why is None
        // The cause in words for a message, ending with a full stop; empty for None and
        // Aborted. Text from the server in it (a reason phrase, an address) is cut to
        // kMaxQuotedChars characters.
        QString Reason{};
        int Status = 0; // the HTTP status, when one came
    };

    // The longest text from the server (a reason phrase, an address) that goes into a reason.
    static constexpr int kMaxQuotedChars = 200;

    explicit BoundedDownload(QObject* Parent = nullptr);
    ~BoundedDownload() override;

    // For the next start().
    void setBounds(const DownloadBounds& Bounds) { m_Bounds = Bounds; }
    const DownloadBounds& bounds() const { return m_Bounds; }

    void start(const QUrl& Url);
    void abort();
    // From start() until its ended() is emitted.
    bool busy() const { return m_Busy; }
    QUrl url() const { return m_Url; }

    // Text cut to kMaxQuotedChars characters, with an ellipsis when it was longer.
    static QString quoted(const QString& Text);

signals:
    // Total is the declared size, or -1 when the server does not say (or the body is packed).
    void progress(qint64 Received, qint64 Total);
    void ended(const lintervale::BoundedDownload::Result& Result);

private:
    void readBody();
    void replyFinished();
    // Ends the running download: lets the reply go, and emits Result from the event loop.
    void end(Result Result);
    void stop(Cause Why, const QString& Reason);
    // Disconnects the reply and aborts it once the signal that may be running has returned.
    void letReplyGo();
    QString tooLarge(bool Unpacked) const;

    QNetworkAccessManager* m_Network = nullptr;
    QTimer* m_Deadline = nullptr;
    std::unique_ptr<BodyUnpacker> m_Unpacker;
    DownloadBounds m_Bounds;

    QUrl m_Url;
    QNetworkReply* m_Reply = nullptr;
    QByteArray m_Body;
    qint64 m_Declared = -1;
    bool m_Busy = false;
    bool m_Ending = false;    // the end of this run is on its way
    quint64 m_Run = 0;        // counts starts, so that the end of an old run leaves a new one be
    quint64 m_AbortedRun = 0; // a run aborted while its end was on its way
};

} // namespace lintervale
