#include "list/MagnetRows.h"
#include "metainfo/Cause.h"
#include "network/TorrentDownload.h"
#include "qtsupport/Utf8Text.h"
#include "widgets/LinkMimeData.h"
#include "widgets/MainForm.h"
#include "widgets/MessageBoxes.h"
#include "widgets/QrCodeDialog.h"
#include "widgets/Translations.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QStringView>
#include <string_view>

// Magnet links into the list (a paste, dropped text), a row's link as a QR code, and dropped
// web addresses, downloaded and added as files are.

namespace lintervale {

namespace {

constexpr qint64 kKiB = 1024;

std::string_view ViewOf(const QByteArray& Bytes) {
    return {Bytes.constData(), static_cast<std::size_t>(Bytes.size())};
}

} // namespace

void MainForm::pasteLinksClicked() {
    addLinkText(QGuiApplication::clipboard()->text());
}

void MainForm::addLinkText(const QString& Text) {
    // Only the first kMaxLinkTextBytes count; one character more tells that the text was cut,
    // and no character is longer than that in UTF-8 bytes.
    const QByteArray bytes = QStringView(Text).left(kMaxLinkTextBytes + 1).toUtf8();
    TMagnetRows links = MagnetRowsOfText(ViewOf(bytes));
    if (links.Rows.empty() && links.Refused == 0) {
        addBatchNote(tr("No magnet link in the text."));
    }
    addBatchNote(messageText(MagnetRowsStatusText(links)));
    queueRows(std::move(links.Rows), true);
    // Also without rows: the batch's end shows the notes.
    startPending();
}

void MainForm::showQrCodeClicked() {
    const TTorrentGrid& grid = m_List.Grid();
    const int row = grid.Row();
    if (grid.Cell(TTorrentGrid::ColHash, row).empty()) {
        showStatus(tr("This row has no magnet link."));
        return;
    }
    // The dialog keeps the link's text: the row may change or go while it is open.
    auto* dialog = new QrCodeDialog(QStringOf(m_List.MagnetLinkOfRow(row)),
                                    QStringOf(grid.Cell(TTorrentGrid::ColName, row)), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::WindowModal);
    dialog->open();
}

void MainForm::addDropped(const DroppedLinks& Links) {
    if (Links.isEmpty()) {
        showStatus(tr("Nothing to add: the drop holds no .torrent file, magnet link or web "
                      "address."));
        return;
    }
    // Files and links join the batch in one go; addresses are downloaded one after another.
    queueFiles(Links.Files, false);
    if (!Links.MagnetText.isEmpty()) {
        addLinkText(Links.MagnetText);
    } else if (!Links.Files.isEmpty()) {
        startPending();
    }
    for (const QUrl& url : Links.WebUrls) {
        m_Downloads.push_back(url);
    }
    downloadNext();
}

bool MainForm::downloading() const {
    return !m_Downloads.empty() || (m_Download != nullptr && m_Download->busy());
}

void MainForm::downloadNext() {
    if (m_Download != nullptr && m_Download->busy()) {
        return;
    }
    if (m_Downloads.empty()) {
        // The drop is through: its failures stay on the status line until something else is
        // said there.
        m_DownloadFailures.clear();
        return;
    }
    if (m_Download == nullptr) {
        m_Download = new TorrentDownload(this);
        connect(m_Download, &TorrentDownload::progress, this, &MainForm::downloadProgress);
        connect(m_Download, &TorrentDownload::succeeded, this, &MainForm::downloaded);
        connect(m_Download, &TorrentDownload::failed, this, &MainForm::downloadFailed);
    }
    const QUrl url = m_Downloads.front();
    m_Downloads.pop_front();
    m_Download->start(url);
    showDownloadStatus(tr("Downloading %1 ...").arg(url.toDisplayString()));
}

void MainForm::showDownloadStatus(const QString& Text) {
    QStringList parts = m_DownloadFailures;
    if (!Text.isEmpty()) {
        parts.prepend(Text);
    }
    showStatus(parts.join("  "));
}

void MainForm::downloadProgress(qint64 Received, qint64 Total) {
    const QString address = m_Download->url().toDisplayString();
    const auto kib = [](qint64 Bytes) { return (Bytes + kKiB - 1) / kKiB; };
    QString text;
    if (Total >= kKiB) {
        text = tr("Downloading %1: %2 of %3 KiB").arg(address).arg(kib(Received)).arg(kib(Total));
    } else if (Total >= 0) {
        text = tr("Downloading %1: %2 of %3 bytes").arg(address).arg(Received).arg(Total);
    } else if (Received >= kKiB) {
        text = tr("Downloading %1: %2 KiB").arg(address).arg(kib(Received));
    } else {
        text = tr("Downloading %1: %2 bytes").arg(address).arg(Received);
    }
    showDownloadStatus(text);
}

void MainForm::downloaded(const QByteArray& Bytes) {
    const QString address = m_Download->url().toDisplayString();
    TLoadResult loaded = LoadBytesForList(ViewOf(Bytes));
    if (loaded.Loaded) {
        showDownloadStatus(tr("Downloaded %1.").arg(address));
        std::vector<TTorrentRow> rows;
        rows.push_back(std::move(loaded.Row));
        queueRows(std::move(rows), false);
        startPending();
    } else {
        downloadFailed(
            tr("Could not add %1: %2")
                .arg(address, messageText(MessageWithCause(loaded.Message, loaded.Cause))));
        return;
    }
    downloadNext();
}

void MainForm::downloadFailed(const QString& Text) {
    // A batch's progress would soon cover the status line: its end tells the failure again.
    if (m_Processing) {
        addBatchNote(Text);
    }
    // Every failure of the drop stays on the status line until the drop is through.
    m_DownloadFailures.append(Text);
    showDownloadStatus(QString());
    if (!QuietMode()) {
        MessageBoxes::error(this, Text);
    }
    // A close while the box was up has emptied the queue.
    downloadNext();
}

} // namespace lintervale
