#pragma once

// The list data file: every cell of the grid, headings and fixed column included, one per
// line, column by column, after two lines with the column and row counts. UTF-8, CR LF.
//
// Writing replaces the file atomically (a new file beside it, flushed to disk, renamed over
// it), so a crash or a full disk leaves the old list, never a truncated one. A cell's control
// characters (line breaks, the character 26 that ends the file on reading, and the rest of
// 0x00-0x1F and 0x7F) are written as spaces, so that no text can end the file or shift the
// cells after it: whatever grid is written reads back the same, but for those spaces.
//
// Reading applies the counts as it finds them: the grid keeps its six columns (cells of
// further columns are skipped, missing ones stay empty) and at least two rows. The cells are
// laid out for the declared row count, but rows the text gives no line for, and rows at the
// bottom whose lines are all empty, are not made: a huge count in a small file, or a huge
// file of bare line breaks, costs no more than a scan of the text.
// Characters that do not form a count fail with "Invalid numeric input".

#include "list/TorrentGrid.h"
#include "messages/Message.h"

#include <stdexcept>
#include <string>
#include <string_view>

namespace lintervale {

class EListFileError : public EMessageError {
public:
    using EMessageError::EMessageError;
};

inline constexpr const char* kListFileName = "Lintervale.dat";

std::string GridToText(const TTorrentGrid& Grid);
// Raises EListFileError("Invalid numeric input") for a count that is no number; the grid
// then holds what was set before the failure.
void TextToGrid(std::string_view Text, TTorrentGrid& Grid);

// Raises EListFileError naming the file and the system's reason; the old file stays intact.
// The folder is made when missing.
void SaveGridFile(const TTorrentGrid& Grid, const std::string& FileName);
// Raises EListFileError for a file that cannot be read, and as TextToGrid does.
void LoadGridFile(TTorrentGrid& Grid, const std::string& FileName);

} // namespace lintervale
