#pragma once

// Dropped web addresses, downloaded one after another. Each download's progress and every
// failure of the drop go to the status line, the failures staying there until the drop is
// through; a downloaded torrent comes out as a row for the list.

#include "list/TorrentRow.h"

#include <QObject>
#include <QStringList>
#include <QUrl>
#include <deque>

namespace lintervale {

class TorrentDownload;

class DownloadQueue final : public QObject {
    Q_OBJECT
public:
    explicit DownloadQueue(QObject* Parent);
    ~DownloadQueue() override;

    void add(const QList<QUrl>& Urls);
    // Whether addresses are being downloaded or wait for their turn.
    bool downloading() const;
    // Drops what waits and ends the download under way: the window closes.
    void stop();

signals:
    // What the status line says now.
    void status(const QString& Text);
    void rowDownloaded(const lintervale::TTorrentRow& Row, const std::string& Bytes);
    // A download failed: Text names the address and the cause. The next one starts when the
    // receivers return.
    void failed(const QString& Text);

private:
    void next();
    void showStatus(const QString& Text);
    void progress(qint64 Received, qint64 Total);
    void downloaded(const QByteArray& Bytes);
    void fail(const QString& Text);

    TorrentDownload* m_Download = nullptr; // made at the first address
    std::deque<QUrl> m_Waiting;
    QStringList m_Failures; // what failed of the drop so far
};

} // namespace lintervale
