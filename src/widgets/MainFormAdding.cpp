#include "qtsupport/Utf8Text.h"
#include "widgets/ContentsFetching.h"
#include "widgets/DownloadQueue.h"
#include "widgets/LinkMimeData.h"
#include "widgets/MainForm.h"
#include "widgets/MessageBoxes.h"

#include <QLabel>

// Adding to the list: files (in batches, BatchAdder), magnet links (a paste, dropped text),
// dropped web addresses (downloaded by DownloadQueue and added as files are).

namespace lintervale {

void MainForm::AddFiles(const QStringList& FileNames, bool SkipMissing) {
    if (FileNames.isEmpty()) {
        return;
    }
    m_Adder->queueFiles(FileNames, SkipMissing);
    m_Adder->start();
}

void MainForm::AddFile(const QString& FileName) {
    m_Adder->published([&] { m_List.AddFile(Utf8Of(FileName)); });
}

bool MainForm::adding() const {
    return m_Adder->adding();
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
        m_Adder->addLinkText(Links.MagnetText);
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
