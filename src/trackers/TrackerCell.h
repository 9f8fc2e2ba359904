#pragma once

// The text of a row's tracker cell: each tracker in double quotes, joined by "|".
//
// Reading is lenient, as the cell has always been read: blanks and control characters
// around items are skipped; a quoted item runs to the next double quote that is not doubled
// (a doubled one stands for one, a missing closing quote runs to the end); an unquoted item
// ends at "|" or at a blank or control character, so a space separates items as "|" does; a
// "|" as the very last character adds one empty item; a NUL character ends the text.
// Writing quotes every tracker as it is, without doubling quotes inside it.

#include <string>
#include <string_view>
#include <vector>

namespace lintervale {

std::vector<std::string> ReadTrackerCell(std::string_view Cell);

// Writes every tracker, empty ones included (the writer of fetched lists).
std::string WriteTrackerCell(const std::vector<std::string>& Trackers);
// Writes the non-empty trackers only (the writer of the tracker editor).
std::string WriteTrackerCellNonEmpty(const std::vector<std::string>& Trackers);

} // namespace lintervale
