#pragma once

// The list data file: every cell of the grid, headings and fixed column included, one per
// line, column by column, after two lines with the column and row counts. UTF-8, CR LF.
//
// Writing replaces the file atomically (a new file beside it, flushed to disk, renamed over
// it), so a crash or a full disk leaves the old list, never a truncated one; the file saved
// before is kept as the backup (ListFileAside.h), so that one bad save can be undone by hand.
// A cell's control characters (line breaks, the character 26 that ends the file on reading,
// and the rest of 0x00-0x1F and 0x7F) are written as spaces, so that no text can end the file
// or shift the cells after it: whatever grid is written reads back the same, but for those
// spaces. A list whose file would pass kMaxListFileSize is not written at all: the reader
// could not read it back.
//
// Reading applies the counts as it finds them: the grid keeps its six columns (cells of
// further columns are skipped) and at least two rows (a count below two lays out two rows a
// column). Every line the counts call for must be there and end with a line break: the file is
// column by column, so a file cut anywhere lacks the last cells of its rows, and one that
// ends early is refused whole, never read with rows that lost their cells. Lines after those
// are ignored. Rows at the bottom whose lines are all empty are not made, so a huge file of
// bare line breaks costs no more than a scan of the text.
// Characters that do not form a count fail with "Invalid numeric input".

#include "list/TorrentGrid.h"
#include "messages/Message.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace lintervale {

class EListFileError : public EMessageError {
public:
    using EMessageError::EMessageError;
};

inline constexpr const char* kListFileName = "Lintervale.dat";
// The largest list file, for writing and reading alike.
inline constexpr std::int64_t kMaxListFileSize = std::int64_t{256} << 20;

std::string GridToText(const TTorrentGrid& Grid);
// The size of GridToText's text, without making it.
std::int64_t GridTextSize(const TTorrentGrid& Grid);
// Raises EListFileError("Invalid numeric input") for a count that is no number, and
// EListFileError for a text that ends before the lines its counts call for; the grid is then
// left as it was.
void TextToGrid(std::string_view Text, TTorrentGrid& Grid);

// Raises EListFileError naming the file and the system's reason, or saying that the list
// would pass MaxBytes; the old file stays intact either way. The folder is made when missing.
void SaveGridFile(const TTorrentGrid& Grid, const std::string& FileName,
                  std::int64_t MaxBytes = kMaxListFileSize);
// Raises EListFileError for a file that cannot be read or is larger than MaxBytes, and as
// TextToGrid does.
void LoadGridFile(TTorrentGrid& Grid, const std::string& FileName,
                  std::int64_t MaxBytes = kMaxListFileSize);

} // namespace lintervale
