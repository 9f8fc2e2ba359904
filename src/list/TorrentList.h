#pragma once

// The torrent list's commands over its grid: adding a torrent, the status line, opening and
// copying magnet links, "Quaverize!", clearing, selecting and removing rows, deleting
// trackers and the checks before the tracker editor opens. Each works on the grid alone and
// reaches the window only through TListHost.

#include "list/BatchLoader.h"
#include "list/FileBuffer.h"
#include "list/ListHost.h"
#include "list/TorrentGrid.h"
#include "list/TorrentRow.h"

#include <string>
#include <vector>

namespace lintervale {

inline constexpr const char* kDuplicateText = "You have already added this hash. :)";
// Three U+00A4 CURRENCY SIGN characters, in UTF-8.
inline constexpr const char* kRemovalMarker = "\xC2\xA4\xC2\xA4\xC2\xA4";
inline constexpr const char* kHelpQuestion = "Do you need some help?";
inline constexpr const char* kHelpAddress = "https://en.wikipedia.org/wiki/Eighth_note";
inline constexpr int kEasterEggLimit = 30;
inline constexpr const char* kEditOneRowText = "You can only edit one row at a time.";
inline constexpr const char* kNothingToCopyText = "No magnet link to copy.";

class TTorrentList {
public:
    enum class TAddResult { Added, Duplicate, Failed, Skipped };

    explicit TTorrentList(TListHost& Host) : m_Host(Host) {}

    TTorrentGrid& Grid() { return m_Grid; }
    const TTorrentGrid& Grid() const { return m_Grid; }

    // Adds one .torrent file as the new top row; every failure is reported here (error box
    // unless quiet mode, nothing changed), so callers go on with their next file.
    TAddResult AddFile(const std::string& FileName);
    // The same for a file that was read and loaded already (a batch loads ahead).
    TAddResult AddLoaded(TLoadResult Loaded);
    // Adds a row made elsewhere (the same rules as AddFile after loading).
    TAddResult AddRow(TTorrentRow Row);

    // Makes Row the current and only selected row; unless it was current already, the grid
    // reports a click (the status line follows). Returns whether it moved.
    bool SetRow(int Row);
    // The grid's click report: the status line names the current row's tracker count.
    void Click();
    // What the user's mouse or keys select; reports a click when the current row moved.
    void UserSelect(int Anchor, int Current);

    std::string MagnetLinkOfRow(int Row) const;
    // Opens the current row's link when it has a name and a hash (double click).
    void DblClick();
    void OpenSelected();
    // Puts the links of the selected rows that have a hash on the clipboard, top row first,
    // joined by CR LF. Without any such row the clipboard is left alone and the status line
    // says so.
    void CopyToClipboard();
    void Quaverize();
    void KeyPress(char Key);

    void ClearAll();
    // The two steps of ClearAll: the question (none in quiet mode; true to go on), and
    // emptying the list.
    bool ClearAllConfirmed();
    void ClearRows();
    void SelectAll();
    void RemoveSelected();

    // The hashes of the selected rows, top row first, each once; rows without a hash are
    // passed over. What fetching trackers asks for.
    std::vector<std::string> SelectedHashes() const;

    // "&Delete trackers": empties the tracker cell of every selected row.
    void DeleteTrackers();
    // The checks of "&Edit tracker list". A selection of several rows is refused (status
    // line always, a notice unless quiet mode) and an empty current row is passed over
    // silently: both give 0. Otherwise returns the current row, the one the editor edits.
    int EditTrackerListRow();

    // Writes the column headings into row 0.
    void WriteHeadings();

    int EasterEgg = 0;

private:
    TListHost& m_Host;
    TTorrentGrid m_Grid;
    TFileBuffer m_Buffer;
};

} // namespace lintervale
