#include "network/TrackerFetcher.h"
#include "qtsupport/Utf8Text.h"
#include "widgets/GridModel.h"
#include "widgets/MainForm.h"
#include "widgets/MessageBoxes.h"
#include "widgets/Translations.h"

#include <QCheckBox>
#include <QClipboard>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLabel>
#include <QSoundEffect>
#include <QTimer>
#include <QUrl>

// The list's side of the window: adding files in batches, and what the list's commands ask
// of the window (TListHost).

namespace lintervale {

namespace {

// The status line's texts of a batch, by what it holds: files, magnet links, or both.
struct BatchTexts {
    const char* Adding;
    const char* Added;
};
constexpr BatchTexts kBatchTexts[] = {
    {QT_TRANSLATE_NOOP("lintervale::MainForm", "Adding .torrent files: %1 of %2 ..."),
     QT_TRANSLATE_NOOP("lintervale::MainForm", "Added %1 of %2 .torrent files.")},
    {QT_TRANSLATE_NOOP("lintervale::MainForm", "Adding magnet links: %1 of %2 ..."),
     QT_TRANSLATE_NOOP("lintervale::MainForm", "Added %1 of %2 magnet links.")},
    {QT_TRANSLATE_NOOP("lintervale::MainForm",
                       "Adding .torrent files and magnet links: %1 of %2 ..."),
     QT_TRANSLATE_NOOP("lintervale::MainForm", "Added %1 of %2 .torrent files and magnet links.")},
};

const BatchTexts& TextsOf(int Links, int Total) {
    return kBatchTexts[Links == 0 ? 0 : Links == Total ? 1 : 2];
}

// Two texts for the status line, side by side.
QString Joined(const QString& First, const QString& Second) {
    if (First.isEmpty() || Second.isEmpty()) {
        return First + Second;
    }
    return First + "  " + Second;
}

} // namespace

void MainForm::AddFiles(const QStringList& FileNames, bool SkipMissing) {
    if (FileNames.isEmpty()) {
        return;
    }
    queueFiles(FileNames, SkipMissing);
    startPending();
}

void MainForm::AddFile(const QString& FileName) {
    published([&] { m_List.AddFile(Utf8Of(FileName)); });
}

void MainForm::queueFiles(const QStringList& FileNames, bool SkipMissing) {
    for (const QString& file : FileNames) {
        m_Pending.push_back({Utf8Of(file), SkipMissing, std::nullopt});
    }
    m_BatchTotal += static_cast<int>(FileNames.size());
}

void MainForm::queueRows(std::vector<TTorrentRow> Rows, bool Links) {
    for (TTorrentRow& row : Rows) {
        m_Pending.push_back({std::string(), false, std::move(row)});
    }
    m_BatchTotal += static_cast<int>(Rows.size());
    m_BatchLinks += Links ? static_cast<int>(Rows.size()) : 0;
}

void MainForm::startPending() {
    if (!m_Processing) {
        m_StatusBefore = m_StatusText->text();
        processPending();
    }
}

void MainForm::addBatchNote(const QString& Note) {
    m_BatchNotes = Joined(m_BatchNotes, Note);
}

// Adds pending files and rows for one slice of time. A slice that adds more than one shows
// its changes once at its end, and a batch longer than one slice shows its progress and lets
// the window handle events between slices.
void MainForm::processPending() {
    m_Processing = true;
    if (!m_Loader) {
        // The files are read and loaded ahead on other cores; the rows go in here, in order.
        const unsigned workers = TBatchLoader::WorkersFor(m_Pending);
        m_Loader = std::make_unique<TBatchLoader>(std::move(m_Pending), workers);
        m_Pending.clear();
    }
    QElapsedTimer slice;
    slice.start();
    const bool bulk = m_Loader->Remaining() > 1;
    if (bulk) {
        m_Model->beginBulk();
        m_Bulk = true;
    }
    TLoadResult loaded;
    for (int inSlice = 0;
         // A close during a message box of this slice ends the batch (m_Loader goes).
         m_Loader && m_Loader->Remaining() > 0 &&
         (inSlice == 0 || slice.elapsed() < m_SliceMilliseconds);
         ++inSlice) {
        m_Loader->Next(loaded);
        const TTorrentList::TAddResult result = m_List.AddLoaded(std::move(loaded));
        if (result == TTorrentList::TAddResult::Skipped) {
            --m_BatchTotal; // not a file after all: it does not count
            continue;
        }
        ++m_BatchDone;
        m_BatchAdded += result == TTorrentList::TAddResult::Added ? 1 : 0;
    }
    if (bulk) {
        m_Bulk = false;
        m_Model->endBulk();
    }
    if (m_Loader && m_Loader->Remaining() == 0) {
        m_Loader.reset();
    }
    if (adding()) {
        showStatus(
            tr(TextsOf(m_BatchLinks, m_BatchTotal).Adding).arg(m_BatchDone).arg(m_BatchTotal));
        m_ShowedProgress = true;
        QTimer::singleShot(0, this, &MainForm::processPending);
        return;
    }
    finishBatch();
}

// The status line after a batch: the count when it showed progress, and the batch's notes
// after what the adds wrote there.
void MainForm::finishBatch() {
    QString text;
    if (m_ShowedProgress) {
        text = tr(TextsOf(m_BatchLinks, m_BatchTotal).Added).arg(m_BatchAdded).arg(m_BatchTotal);
    } else if (m_StatusText->text() != m_StatusBefore) {
        text = m_StatusText->text();
    }
    if (m_ShowedProgress || !m_BatchNotes.isEmpty()) {
        showStatus(Joined(text, m_BatchNotes));
    }
    m_ShowedProgress = false;
    m_BatchNotes.clear();
    m_BatchAdded = 0;
    m_BatchDone = 0;
    m_BatchTotal = 0;
    m_BatchLinks = 0;
    m_Processing = false;
    emit addsFinished();
}

bool MainForm::QuietMode() const {
    return m_QuietMode->isChecked();
}
bool MainForm::FetchExtra() const {
    return m_FetchExtra->isChecked();
}
bool MainForm::AutoOpen() const {
    return m_AutoOpen->isChecked();
}

void MainForm::ShowNotice(const TMessage& Text) {
    published([&] { MessageBoxes::notice(this, messageText(Text)); });
}

void MainForm::ShowError(const TMessage& Text) {
    published([&] { MessageBoxes::error(this, messageText(Text)); });
}

bool MainForm::Confirm(const TMessage& Text) {
    return published([&] { return MessageBoxes::confirm(this, messageText(Text)); });
}

void MainForm::AskHelp(const TMessage& Text) {
    published([&] { MessageBoxes::askHelp(this, messageText(Text)); });
}

void MainForm::SetStatusText(const TMessage& Text) {
    showStatus(messageText(Text));
}

void MainForm::showStatus(const QString& Text) {
    m_StatusText->setText(Text);
}

void MainForm::OpenUrl(const std::string& Url) {
    QDesktopServices::openUrl(QUrl::fromEncoded(QByteArray::fromStdString(Url)));
}

void MainForm::SetClipboardText(const std::string& Text) {
    QGuiApplication::clipboard()->setText(QStringOf(Text));
}

void MainForm::PlaySound() {
    m_Sound->play();
}

void MainForm::FetchTrackers() {
    m_Fetcher->fetchSelected();
}

void MainForm::WhenFetched(const std::string& Hash, std::function<void()> Action) {
    if (!m_Fetcher->pending(Hash)) {
        Action();
        return;
    }
    m_AfterFetch.emplace_back(Hash, std::move(Action));
}

void MainForm::fetchEnded(const std::string& Hash) {
    std::vector<std::function<void()>> due;
    std::erase_if(m_AfterFetch, [&](auto& Waiting) {
        if (Waiting.first != Hash) {
            return false;
        }
        due.push_back(std::move(Waiting.second));
        return true;
    });
    for (const std::function<void()>& action : due) {
        action();
    }
}

} // namespace lintervale
