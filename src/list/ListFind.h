#pragma once

// Finding rows: the rows whose name, hash or tracker cell holds a text, ignoring case (for
// the letters of the Latin, Greek and Cyrillic alphabets), and the next name that starts with
// typed letters.

#include "list/TorrentGrid.h"

#include <string>
#include <string_view>

namespace lintervale {

// Text in the form finding compares: its letters in lower case, all else as it is.
std::string FoldedForFinding(std::string_view Text);
// The same, appended to Out (the folded text has the text's length in bytes).
void AppendFoldedForFinding(std::string_view Text, std::string& Out);

struct TFound {
    int Row = 0;   // the grid row found; 0 when none holds the text
    int Index = 0; // its place among the rows that hold it, from 1
    int Count = 0; // how many rows hold it
};

enum class TFindFrom { Here, Next, Previous };

// The first row from the current row on (Here: the current row included; Next: after it;
// Previous: going up from the row before it), going round the list's end, that holds Text.
TFound FindRow(const TTorrentGrid& Grid, std::string_view Text, TFindFrom From);

// The next row after Row (going round) whose name starts with Prefix, ignoring case; Row
// itself when only it does; 0 when none does.
int FindNamePrefix(const TTorrentGrid& Grid, std::string_view Prefix, int Row);

} // namespace lintervale
