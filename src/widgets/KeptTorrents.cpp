#include "widgets/KeptTorrents.h"

#include "list/ListDataFile.h"
#include "list/TorrentList.h"
#include "metainfo/TorrentFile.h"
#include "qtsupport/Utf8Text.h"
#include "widgets/BatchAdder.h"
#include "widgets/MessageBoxes.h"
#include "widgets/Translations.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>

// Keeping, reading and pruning; the commands are in KeptTorrentsCommands.cpp.

namespace lintervale {

QString KeptTorrents::folderFor(const QString& ListFile) {
    return QFileInfo(ListFile).absolutePath() + "/" + kStoreFolderName;
}

KeptTorrents::KeptTorrents(TTorrentList& List, QString ListFile, KeptTorrentsWindow Window,
                           QObject* Parent)
    : QObject(Parent), m_List(List), m_ListFile(std::move(ListFile)), m_Window(std::move(Window)),
      m_Store(Utf8Of(folderFor(m_ListFile))), m_LastFolder(QDir::homePath()) {
    for (std::string& hash : m_Store.Hashes()) {
        m_Known.insert(std::move(hash));
    }
    m_Writer = std::make_unique<TStoreWriter>(m_Store, [this] {
        // On the writer's thread: the window hears of it on its own.
        QMetaObject::invokeMethod(this, &KeptTorrents::writesFailed, Qt::QueuedConnection);
    });
    if (m_Window.Adder != nullptr) {
        // A batch's adds come first; its torrents are written once it is through.
        connect(m_Window.Adder, &BatchAdder::begun, this, [this] { m_Writer->Hold(true); });
        connect(m_Window.Adder, &BatchAdder::finished, this, [this] { m_Writer->Hold(false); });
    }
}

KeptTorrents::~KeptTorrents() = default;

void KeptTorrents::queue(const std::string& Hash, std::string_view Bytes) {
    if (!IsStoreHash(Hash)) {
        return;
    }
    m_Writer->Keep(Hash, Bytes);
    const std::lock_guard<std::mutex> lock(m_Mutex);
    m_Known.insert(Hash);
}

void KeptTorrents::writesFailed() {
    const TStoreWriter::TFailures failures = m_Writer->TakeFailures();
    if (failures.Count == 1) {
        m_Window.Status(messageText(failures.Last));
    } else if (failures.Count > 1) {
        m_Window.Status(tr("%1 torrents could not be kept. The last: %2")
                            .arg(failures.Count)
                            .arg(messageText(failures.Last)));
    }
}

TKeepTorrent KeptTorrents::keeper() {
    return [this](const std::string& Hash, std::string_view Bytes) { queue(Hash, Bytes); };
}

void KeptTorrents::keep(const std::string& Hash, std::string_view Bytes) {
    try {
        m_Store.Put(Hash, Bytes);
        m_List.ForgetKept(Hash);
        const std::lock_guard<std::mutex> lock(m_Mutex);
        m_Known.insert(Hash);
    } catch (const std::exception& error) {
        m_Window.Status(errorText(error));
    }
}

KeptTorrents::Kept KeptTorrents::read(const std::string& Hash, const std::string& Name) {
    m_Writer->Flush();
    const QString name = QStringOf(Name);
    bool known = false;
    {
        const std::lock_guard<std::mutex> lock(m_Mutex);
        known = m_Known.count(Hash) > 0;
    }
    const auto drop = [&] {
        m_Store.Remove(Hash);
        const std::lock_guard<std::mutex> lock(m_Mutex);
        m_Known.erase(Hash);
    };
    if (!m_Store.Has(Hash)) {
        if (!known) {
            return {};
        }
        drop();
        return {std::nullopt,
                tr("The kept .torrent file of \"%1\" is missing: its contents are not known.")
                    .arg(name)};
    }
    Kept kept;
    QString reason;
    try {
        kept.Bytes = m_Store.Read(Hash);
        TTorrentFile torrent;
        torrent.Load(*kept.Bytes);
        if (torrent.Hash() != Hash) {
            reason = tr("it holds another torrent");
        }
    } catch (const std::exception& error) {
        reason = errorText(error);
    }
    if (reason.isEmpty()) {
        return kept;
    }
    drop();
    return {std::nullopt, tr("The kept .torrent file of \"%1\" was damaged (%2) and has been "
                             "removed: its contents are not known.")
                              .arg(name, reason)};
}

void KeptTorrents::prune(bool Temporaries, bool ListSaved) {
    // No write is under way while the folder is looked through.
    m_Writer->Flush();
    std::unordered_set<std::string> reach =
        m_Window.Reach ? m_Window.Reach() : std::unordered_set<std::string>();
    const TTorrentGrid& grid = m_List.Grid();
    for (int r = 1; r < grid.RowCount(); ++r) {
        reach.insert(grid.Cell(TTorrentGrid::ColHash, r));
    }
    if (!ListSaved && QFileInfo::exists(m_ListFile)) {
        // Rows the list may take in later (the file is offered when "Save on exit" is ticked).
        TTorrentGrid saved;
        try {
            LoadGridFile(saved, Utf8Of(m_ListFile));
        } catch (const std::exception&) {
            return; // what the file holds is not known: nothing goes
        }
        for (int r = 1; r < saved.RowCount(); ++r) {
            reach.insert(saved.Cell(TTorrentGrid::ColHash, r));
        }
    }
    m_Store.Prune(reach, Temporaries);
    m_List.ForgetAllKept();
    const std::lock_guard<std::mutex> lock(m_Mutex);
    std::erase_if(m_Known, [&](const std::string& Hash) { return reach.count(Hash) == 0; });
}

QString KeptTorrents::usageText() const {
    const TTorrentStore::TUsage usage = m_Store.Usage();
    const QLocale locale;
    return tr("%1 files, %2")
        .arg(locale.toString(usage.Entries),
             locale.formattedDataSize(static_cast<qint64>(usage.Bytes), 1,
                                      QLocale::DataSizeSIFormat));
}

} // namespace lintervale
