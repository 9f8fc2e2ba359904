#pragma once

// Downloading a .torrent file from a web address into memory, as a dropped link asks.
//
// A BoundedDownload with the bounds every web download shares and at most kMaxBytes of body
// (unpacked). progress() reports the bytes so far. Then exactly one of succeeded() (the whole
// body) and failed() (a text for the status line and the box, naming the address and the
// reason) follows, always from the event loop, never from inside start() or the network
// code: a receiver may show a box, start the next download or delete the object with
// deleteLater(). abort() ends a download without either signal; a start() during a
// download aborts that one first.

#include "network/BoundedDownload.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QUrl>

namespace lintervale {

class TorrentDownload final : public QObject {
    Q_OBJECT
public:
    static constexpr qint64 kMaxBytes = 10 * 1024 * 1024;

    explicit TorrentDownload(QObject* Parent = nullptr);

    void setTimeLimits(int StallMilliseconds, int TotalMilliseconds);
    void setMaxBytes(qint64 Bytes);

    void start(const QUrl& Url);
    void abort();
    // From start() until its signal is emitted or abort().
    bool busy() const { return m_Download->busy(); }
    QUrl url() const { return m_Download->url(); }

signals:
    // Total is the declared size, or -1 when the server does not say.
    void progress(qint64 Received, qint64 Total);
    void succeeded(const QByteArray& Bytes);
    void failed(const QString& Text);

private:
    void ended(const BoundedDownload::Result& Result);

    BoundedDownload* m_Download = nullptr;
};

} // namespace lintervale
