#pragma once

// The list data file's round trip, for the fuzz target and the test suite's replay of its
// inputs: any bytes read as a data file give a grid the program can hold; written and read
// again, that grid comes back the same, but for control characters, which the writer turns
// into spaces; and writing the grid read back gives the very same text.

#include "list/ListDataFile.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>

namespace lintervale::fuzz {

// A cell's text as the data file keeps it: control characters as spaces.
inline std::string ControlsAsSpaces(std::string Text) {
    std::replace_if(
        Text.begin(), Text.end(),
        [](char c) {
            const auto byte = static_cast<unsigned char>(c);
            return byte < 0x20 || byte == 0x7F;
        },
        ' ');
    return Text;
}

// The row as the data file keeps it.
inline TTorrentGrid::TRow CellsAsWritten(TTorrentGrid::TRow Row) {
    for (std::string& cell : Row) {
        cell = ControlsAsSpaces(std::move(cell));
    }
    return Row;
}

// What breaks the round trip for Bytes, or the empty text when nothing does.
inline std::string ListFileRoundTripFault(std::string_view Bytes) {
    TTorrentGrid first;
    try {
        TextToGrid(Bytes, first);
    } catch (const EListFileError&) {
        // A count that is no number: the grid keeps what was read before, and is still a
        // grid the program holds.
    }
    const auto lines = std::count(Bytes.begin(), Bytes.end(), '\n') + 1;
    if (first.RowCount() < 2 || first.RowCount() > std::max<long>(2, lines)) {
        return "the first read made " + std::to_string(first.RowCount()) + " rows";
    }

    const std::string text = GridToText(first);
    const auto lineEnds = std::count(text.begin(), text.end(), '\n');
    if (lineEnds != 2 + TTorrentGrid::kColumns * static_cast<long>(first.RowCount())) {
        return "the text holds " + std::to_string(lineEnds) + " lines";
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const bool lineEnd = (byte == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ||
                             (byte == '\n' && i > 0 && text[i - 1] == '\r');
        if ((byte < 0x20 || byte == 0x7F) && !lineEnd) {
            return "the text holds the control character " + std::to_string(byte) + " at " +
                   std::to_string(i);
        }
    }

    TTorrentGrid second;
    try {
        TextToGrid(text, second);
    } catch (const EListFileError& error) {
        return std::string("the written text does not read: ") + error.what();
    }
    if (second.RowCount() != first.RowCount()) {
        return "the second read made " + std::to_string(second.RowCount()) + " rows, not " +
               std::to_string(first.RowCount());
    }
    for (int r = 0; r < first.RowCount(); ++r) {
        if (second.RowCells(r) != CellsAsWritten(first.RowCells(r))) {
            return "row " + std::to_string(r) + " changed";
        }
    }
    if (GridToText(second) != text) {
        return "the grid read back writes another text";
    }
    return {};
}

} // namespace lintervale::fuzz
