#include "list/MagnetRows.h"
#include "metainfo/Cause.h"
#include "qtsupport/Utf8Text.h"
#include "widgets/DownloadQueue.h"
#include "widgets/LinkMimeData.h"
#include "widgets/MainForm.h"
#include "widgets/MessageBoxes.h"
#include "widgets/QrCodeDialog.h"
#include "widgets/Translations.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QStringView>
#include <algorithm>
#include <string_view>

// Adding to the list: files (in batches, BatchAdder), magnet links (a paste, dropped text),
// dropped web addresses (downloaded by DownloadQueue and added as files are); and a row's link
// as a QR code.

namespace lintervale {

namespace {

std::string_view ViewOf(const QByteArray& Bytes) {
    return {Bytes.constData(), static_cast<std::size_t>(Bytes.size())};
}

} // namespace

void MainForm::AddFiles(const QStringList& FileNames, bool SkipMissing) {
    if (FileNames.isEmpty()) {
        return;
    }
    m_Adder->queueFiles(FileNames, SkipMissing);
    m_Adder->start();
}

void MainForm::AddFile(const QString& FileName) {
    published([&] { m_List.AddFile(Utf8Of(FileName)); });
}

bool MainForm::adding() const {
    return m_Adder->adding();
}

void MainForm::pasteLinksClicked() {
    addLinkText(QGuiApplication::clipboard()->text());
}

void MainForm::addLinkText(const QString& Text) {
    // Only the first kMaxLinkTextBytes count; one character more tells that the text was cut,
    // and no character is longer than that in UTF-8 bytes.
    const QByteArray bytes = QStringView(Text).left(kMaxLinkTextBytes + 1).toUtf8();
    TMagnetRows links = MagnetRowsOfText(ViewOf(bytes));
    if (links.Rows.empty() && links.Refused == 0) {
        m_Adder->addNote(tr("No magnet link in the text."));
    }
    m_Adder->addNote(messageText(MagnetRowsStatusText(links)));
    // Each row goes on top: the last link goes in first, so that the list reads as the text.
    std::reverse(links.Rows.begin(), links.Rows.end());
    m_Adder->queueRows(std::move(links.Rows), true);
    // Also without rows: the batch's end shows the notes.
    m_Adder->start();
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
    m_Adder->queueFiles(Links.Files, false);
    if (!Links.MagnetText.isEmpty()) {
        addLinkText(Links.MagnetText);
    } else if (!Links.Files.isEmpty()) {
        m_Adder->start();
    }
    m_Downloads->add(Links.WebUrls);
}

void MainForm::buildDownloads() {
    m_Downloads = new DownloadQueue(this);
    connect(m_Downloads, &DownloadQueue::status, this, &MainForm::showStatus);
    connect(m_Downloads, &DownloadQueue::rowDownloaded, this,
            [this](const TTorrentRow& Row, const std::string& Bytes) {
                m_Adder->queueTorrent(Row, Bytes);
                m_Adder->start();
            });
    connect(m_Downloads, &DownloadQueue::failed, this, [this](const QString& Text) {
        // A batch's progress would soon cover the status line: its end tells the failure
        // again.
        if (m_Adder->running()) {
            m_Adder->addNote(Text);
        }
        if (!m_Host.QuietMode()) {
            MessageBoxes::error(this, Text);
        }
    });
}

bool MainForm::downloading() const {
    return m_Downloads->downloading();
}

} // namespace lintervale
