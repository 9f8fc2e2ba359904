#include "widgets/DownloadQueue.h"

#include "list/BatchLoader.h"
#include "metainfo/Cause.h"
#include "network/TorrentDownload.h"
#include "widgets/Translations.h"

#include <QCoreApplication>
#include <string_view>

namespace lintervale {

namespace {

constexpr qint64 kKiB = 1024;

QString Text(const char* Source) {
    return QCoreApplication::translate("lintervale::MainForm", Source);
}

} // namespace

DownloadQueue::DownloadQueue(QObject* Parent) : QObject(Parent) {}

DownloadQueue::~DownloadQueue() = default;

void DownloadQueue::add(const QList<QUrl>& Urls) {
    for (const QUrl& url : Urls) {
        m_Waiting.push_back(url);
    }
    next();
}

bool DownloadQueue::downloading() const {
    return !m_Waiting.empty() || (m_Download != nullptr && m_Download->busy());
}

void DownloadQueue::stop() {
    m_Waiting.clear();
    if (m_Download != nullptr) {
        m_Download->abort();
    }
}

void DownloadQueue::next() {
    if (m_Download != nullptr && m_Download->busy()) {
        return;
    }
    if (m_Waiting.empty()) {
        // The drop is through: its failures stay on the status line until something else is
        // said there.
        m_Failures.clear();
        return;
    }
    if (m_Download == nullptr) {
        m_Download = new TorrentDownload(this);
        connect(m_Download, &TorrentDownload::progress, this, &DownloadQueue::progress);
        connect(m_Download, &TorrentDownload::succeeded, this, &DownloadQueue::downloaded);
        connect(m_Download, &TorrentDownload::failed, this, &DownloadQueue::fail);
    }
    const QUrl url = m_Waiting.front();
    m_Waiting.pop_front();
    m_Download->start(url);
    showStatus(Text(QT_TRANSLATE_NOOP("lintervale::MainForm", "Downloading %1 ..."))
                   .arg(url.toDisplayString()));
}

void DownloadQueue::showStatus(const QString& Text) {
    QStringList parts = m_Failures;
    if (!Text.isEmpty()) {
        parts.prepend(Text);
    }
    emit status(parts.join("  "));
}

void DownloadQueue::progress(qint64 Received, qint64 Total) {
    const QString address = m_Download->url().toDisplayString();
    const auto kib = [](qint64 Bytes) { return (Bytes + kKiB - 1) / kKiB; };
    QString text;
    if (Total >= kKiB) {
        text = Text(QT_TRANSLATE_NOOP("lintervale::MainForm", "Downloading %1: %2 of %3 KiB"))
                   .arg(address)
                   .arg(kib(Received))
                   .arg(kib(Total));
    } else if (Total >= 0) {
        text = Text(QT_TRANSLATE_NOOP("lintervale::MainForm", "Downloading %1: %2 of %3 bytes"))
                   .arg(address)
                   .arg(Received)
                   .arg(Total);
    } else if (Received >= kKiB) {
        text = Text(QT_TRANSLATE_NOOP("lintervale::MainForm", "Downloading %1: %2 KiB"))
                   .arg(address)
                   .arg(kib(Received));
    } else {
        text = Text(QT_TRANSLATE_NOOP("lintervale::MainForm", "Downloading %1: %2 bytes"))
                   .arg(address)
                   .arg(Received);
    }
    showStatus(text);
}

void DownloadQueue::downloaded(const QByteArray& Bytes) {
    const QString address = m_Download->url().toDisplayString();
    const std::string_view bytes(Bytes.constData(), static_cast<std::size_t>(Bytes.size()));
    TLoadResult loaded = LoadBytesForList(bytes);
    if (!loaded.Loaded) {
        fail(Text(QT_TRANSLATE_NOOP("lintervale::MainForm", "Could not add %1: %2"))
                 .arg(address, messageText(MessageWithCause(loaded.Message, loaded.Cause))));
        return;
    }
    showStatus(Text(QT_TRANSLATE_NOOP("lintervale::MainForm", "Downloaded %1.")).arg(address));
    emit rowDownloaded(loaded.Row, std::string(bytes));
    next();
}

void DownloadQueue::fail(const QString& Text) {
    // Every failure of the drop stays on the status line until the drop is through.
    m_Failures.append(Text);
    showStatus(QString());
    emit failed(Text);
    // A close while a receiver's box was up has emptied the queue.
    next();
}

} // namespace lintervale
