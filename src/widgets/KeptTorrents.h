#pragma once

// The torrents of the list, kept byte for byte (TTorrentStore) in the folder "torrents"
// beside the list file ($XDG_DATA_HOME/Lintervale/torrents), and the commands that use them:
// "Properties", "Save .torrent as" and "Save .torrents to folder".
//
// Every torrent the list loads is handed over where it is loaded (a batch's workers too),
// before the list looks for a duplicate (a duplicate has the same bytes, which the store keeps
// once), and written by a thread of its own (TStoreWriter), so that the adds never wait for
// the file system. Reading and pruning wait for the writes queued before them. The store holds what
// the list can reach: pruning removes the entries that neither a row nor an undo step
// (UndoSteps::reachableHashes) refers to, nor a row of a list file that the list does not hold (one
// this run did not load, or did not save last). An entry that is gone or damaged when it is read is
// told on the status line and dropped.

#include "list/BatchLoader.h"
#include "store/StoreWriter.h"
#include "store/TorrentStore.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>

class QWidget;

namespace lintervale {

class BatchAdder;
class TTorrentList;

// What the room asks of the window.
struct KeptTorrentsWindow {
    QWidget* Boxes = nullptr;    // the parent of its dialogs and boxes
    BatchAdder* Adder = nullptr; // keeps the grid current under a box
    // The hashes of rows that the undo steps can bring back.
    std::function<std::unordered_set<std::string>()> Reach;
    std::function<bool()> Quiet; // quiet mode: failures on the status line only
    std::function<void(const QString&)> Status;
};

class KeptTorrents final : public QObject {
    Q_OBJECT
public:
    // The store's folder: "torrents" beside ListFile.
    static QString folderFor(const QString& ListFile);

    KeptTorrents(TTorrentList& List, QString ListFile, KeptTorrentsWindow Window, QObject* Parent);
    ~KeptTorrents() override;

    const TTorrentStore& store() const { return m_Store; }
    // What the list hands each torrent it loads, on any thread; the write follows, and a
    // failure is told on the status line.
    TKeepTorrent keeper();
    // Keeps Bytes under Hash now; a failure is told on the status line.
    void keep(const std::string& Hash, std::string_view Bytes);

    // A read of a row's kept torrent: its bytes, or why there are none (empty when the row
    // never had any: it came from a link or from a list saved before torrents were kept).
    struct Kept {
        std::optional<std::string> Bytes;
        QString Problem;
    };
    // Reads the torrent kept for Hash (the row named Name) and checks it against the hash. An
    // entry that is gone or damaged is dropped, and Problem says so.
    Kept read(const std::string& Hash, const std::string& Name);

    // Removes the entries that nothing refers to; with Temporaries, also what an interrupted
    // write left (at start only). ListSaved: the list file holds no row that the list does
    // not (it was just loaded or saved); otherwise the file's rows count too.
    void prune(bool Temporaries, bool ListSaved);
    // "1,234 files, 56.7 MB".
    QString usageText() const;

    // The commands, for the grid's current row or its selected rows.
    void showProperties();
    void saveCurrentAs();
    void saveSelectedToFolder();

private:
    void queue(const std::string& Hash, std::string_view Bytes);
    void writesFailed();
    void report(const QString& Status, const QString& Box);
    template <typename F> auto published(F Action);

    TTorrentList& m_List;
    QString m_ListFile;
    KeptTorrentsWindow m_Window;
    TTorrentStore m_Store;
    // The entries known to be there (found at start or kept since): one of them that is gone
    // when read was lost, rather than never kept.
    std::mutex m_Mutex;
    std::unordered_set<std::string> m_Known;
    // Where the last save went.
    QString m_LastFolder;
    // Goes first: it writes what is queued before it ends.
    std::unique_ptr<TStoreWriter> m_Writer;
};

} // namespace lintervale
