#include "network/TorrentDownload.h"

namespace lintervale {

TorrentDownload::TorrentDownload(QObject* Parent) : QObject(Parent) {
    m_Download = new BoundedDownload(this);
    DownloadBounds bounds;
    bounds.MaxBytes = kMaxBytes;
    m_Download->setBounds(bounds);
    connect(m_Download, &BoundedDownload::progress, this, &TorrentDownload::progress);
    connect(m_Download, &BoundedDownload::ended, this, &TorrentDownload::ended);
}

void TorrentDownload::setTimeLimits(int StallMilliseconds, int TotalMilliseconds) {
    DownloadBounds bounds = m_Download->bounds();
    bounds.StallMilliseconds = StallMilliseconds;
    bounds.TotalMilliseconds = TotalMilliseconds;
    m_Download->setBounds(bounds);
}

void TorrentDownload::setMaxBytes(qint64 Bytes) {
    DownloadBounds bounds = m_Download->bounds();
    bounds.MaxBytes = Bytes;
    m_Download->setBounds(bounds);
}

void TorrentDownload::start(const QUrl& Url) {
    m_Download->start(Url);
}

void TorrentDownload::abort() {
    m_Download->abort();
}

void TorrentDownload::ended(const BoundedDownload::Result& Result) {
    switch (Result.Why) {
    case BoundedDownload::Cause::None:
        emit succeeded(Result.Bytes);
        break;
    case BoundedDownload::Cause::Aborted:
        break;
    default:
        emit failed(
            tr("Could not download %1: %2")
                .arg(BoundedDownload::quoted(m_Download->url().toDisplayString()), Result.Reason));
        break;
    }
}

} // namespace lintervale
