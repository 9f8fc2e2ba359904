#pragma once

// Fetching the contents of rows that a magnet link made (a hash, a name, trackers): "Fetch
// contents" for the selected rows, and, when the user wants it, every link as it is added.
// Each fetch asks peers for the torrent's info dictionary only (ContentsFetcher). While it
// runs, the row's "# Files" cell shows its progress and the status line counts the rows still
// fetching; "Stop fetching" (Escape in the grid) ends them all. A fetched torrent is kept (the
// window's store) and fills its row's name, file count and size, one undoable step for a run
// of fetches; a failed one leaves the row as it was and says why on the status line.
//
// Fetching shows the user's address to peers and the DHT: the first fetch says so in a box
// that can be declined, and the answer Yes is kept with the options.

#include "list/MagnetRows.h"
#include "list/RowContents.h"
#include "network/ContentsFetcher.h"
#include "session/SettingsStore.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>
#include <string>
#include <vector>

class QWidget;

namespace lintervale {

class GridModel;
class TTorrentList;
class UndoSteps;

class ContentsFetching final : public QObject {
    Q_OBJECT
public:
    struct Parts {
        TTorrentList& List;
        GridModel& Model;
        UndoSteps& Undo;
        // Where boxes and the settings dialog go.
        QWidget* Window;
        QString SettingsFile;
        std::function<void(const QString&)> Status;
        // Whether a torrent of Hash is kept already (such rows are not fetched).
        std::function<bool(const std::string& Hash)> Kept;
        // Keeps a fetched torrent (a failure to write it is told by the keeper).
        std::function<void(const std::string& Hash, const std::string& Torrent)> Keep;
        // Runs a change of the grid so that the view sees it (also during a batch).
        std::function<void(const std::function<void()>&)> Published;
        // The session; empty for the fetching module's.
        ContentsFetcher::SessionMaker Maker = {};
    };

    ContentsFetching(Parts TheParts, QObject* Parent);
    ~ContentsFetching() override;

    // "Fetch contents": the selected rows that have a hash and no kept torrent.
    void fetchSelected();
    // "Stop fetching".
    void stopAll();
    // "Fetching settings…": the dialog, window-modal; its options hold from the next fetch.
    void openSettings();

    // Links are about to be added: their peers are remembered for later fetches, and with
    // "Fetch contents of added links" their rows are fetched once the batch has added them.
    void linksQueued(const TMagnetRows& Links);
    // A batch added the rows of these hashes.
    void added(const std::vector<std::string>& Hashes);

    int fetchingCount() const { return m_Fetcher->fetchingCount(); }
    const FetchOptions& options() const { return m_Options; }

signals:
    // The count of rows fetching changed.
    void fetchingChanged(int Count);

private:
    // Fetches Hashes (each once, only those a row still holds and no kept torrent has), after
    // the privacy question if it has not been answered Yes.
    void fetchHashes(const std::vector<std::string>& Hashes);
    bool privacyAccepted();
    void start(const std::string& Hash);
    void progress(const QString& Hash, int Peers, int PartsPerMillion);
    void fetched(const QString& Hash, const QByteArray& Torrent);
    void failed(const QString& Hash, const QString& Message);
    // A fetch ended: the note goes, the status line tells Text and the rows still fetching,
    // and the last one makes the run's undo step.
    void ended(const QString& Hash, const QString& Text);
    void saveOptions();

    Parts m_Parts;
    FetchOptions m_Options;
    ContentsFetcher* m_Fetcher = nullptr;
    // The names of the rows fetching, for what the status line says of them.
    QHash<QString, QString> m_Names;
    // The peers ("x.pe") of links added this run, by hash.
    QHash<QString, QStringList> m_Peers;
    // Hashes of links queued for adding, to be fetched once added.
    QSet<QString> m_FetchWhenAdded;
    // Hashes waiting while the privacy box is up.
    std::vector<std::string> m_Waiting;
    bool m_Asking = false;
    // What the fetches of this run filled in, one undo step when the last one ends.
    TContentsChange m_Filled;
};

} // namespace lintervale
