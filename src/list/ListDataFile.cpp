#include "list/ListDataFile.h"

#include "list/FileBuffer.h"
#include "list/ListFileAside.h"
#include "metainfo/TorrentFile.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <limits>
#include <unistd.h>

namespace lintervale {

namespace {

// Reads the file's text the way the list has always read it: a line ends at LF, a CR right
// before the LF is no part of it, and the character 26 ends the file.
class TLineReader {
public:
    explicit TLineReader(std::string_view text) : m_Text(text.substr(0, text.find('\x1A'))) {}

    bool AtEnd() const { return m_At >= m_Text.size(); }

    // The rest of the current line; past the end, the empty text.
    std::string_view ReadLine() {
        m_Ended = false;
        if (AtEnd()) {
            return {};
        }
        const std::size_t end = std::min(m_Text.find('\n', m_At), m_Text.size());
        std::string_view line = m_Text.substr(m_At, end - m_At);
        m_Ended = end < m_Text.size();
        m_At = end + 1;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        return line;
    }

    // An integer after blanks and line breaks, up to the next blank or control character,
    // then the rest of its line; 0 at the end of the text.
    long long ReadCount() {
        while (!AtEnd() && static_cast<unsigned char>(m_Text[m_At]) <= ' ') {
            ++m_At;
        }
        if (AtEnd()) {
            m_Ended = false;
            return 0;
        }
        std::size_t end = m_At;
        while (end < m_Text.size() && static_cast<unsigned char>(m_Text[end]) > ' ') {
            ++end;
        }
        const std::string_view digits = m_Text.substr(m_At, end - m_At);
        const char* first = digits.data();
        if (!digits.empty() && digits.front() == '+') {
            ++first;
        }
        long long value = 0;
        const auto [next, error] = std::from_chars(first, digits.data() + digits.size(), value);
        if (error != std::errc() || next != digits.data() + digits.size()) {
            throw EListFileError(TMessage(Translatable("Message", "Invalid numeric input")));
        }
        m_At = end;
        ReadLine();
        return value;
    }

    // Whether the line last read (or the count's) ended with a line break.
    bool LineEnded() const { return m_Ended; }

    // The whole lines left: those that end with a line break.
    long long WholeLinesLeft() const {
        if (AtEnd()) {
            return 0;
        }
        return std::count(m_Text.begin() + static_cast<std::ptrdiff_t>(m_At), m_Text.end(), '\n');
    }

    // Steps past the current line; whether it held any text. A plain loop: a file of bare
    // line breaks is scanned a character at a time faster than a line at a time.
    bool SkipLine() {
        const std::size_t start = m_At;
        while (m_At < m_Text.size() && m_Text[m_At] != '\n') {
            ++m_At;
        }
        const std::size_t length = m_At - start;
        ++m_At;
        return length > 1 || (length == 1 && m_Text[start] != '\r');
    }

    // Where the next line starts, to read the same lines again.
    std::size_t Position() const { return m_At; }
    void Rewind(std::size_t Position) { m_At = Position; }

private:
    std::string_view m_Text;
    std::size_t m_At = 0;
    bool m_Ended = false;
};

long long SaturatingProduct(long long a, long long b) {
    long long product = 0;
    return __builtin_mul_overflow(a, b, &product) ? std::numeric_limits<long long>::max() : product;
}

[[noreturn]] void ThrowCutShort(long long lines, long long needed) {
    throw EListFileError(TMessage(
        Translatable(
            "Message",
            "The list file is cut short: it holds %1 of the %2 lines its counts call for."),
        {WithThousands(lines), WithThousands(needed)}));
}

// Control characters would end a line (LF), end the file (character 26) or otherwise shift
// or hide the cells after them; they are written as spaces.
bool IsControl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
}

void AppendCell(std::string& text, const std::string& cell) {
    const std::size_t start = text.size();
    text += cell;
    std::replace_if(text.begin() + static_cast<std::ptrdiff_t>(start), text.end(), IsControl, ' ');
    text += "\r\n";
}

std::string Reason(int error) {
    return std::strerror(error);
}

} // namespace

std::string GridToText(const TTorrentGrid& Grid) {
    std::string text;
    text += std::to_string(TTorrentGrid::kColumns) + "\r\n";
    text += std::to_string(Grid.RowCount()) + "\r\n";
    for (int c = 0; c < TTorrentGrid::kColumns; ++c) {
        for (int r = 0; r < Grid.RowCount(); ++r) {
            AppendCell(text, Grid.Cell(c, r));
        }
    }
    return text;
}

void TextToGrid(std::string_view Text, TTorrentGrid& Grid) {
    TLineReader reader(Text);
    const long long columns = std::max(0LL, reader.ReadCount());
    const long long declared = reader.ReadCount();
    if (!reader.LineEnded()) {
        throw EListFileError(
            TMessage(Translatable("Message", "The list file is cut short: it ends before its "
                                             "column and row counts.")));
    }
    // The cells are laid out for the declared row count, at least the grid's two rows, and
    // every one of them must have its line.
    const long long layoutRows = std::max(declared, 2LL);
    const long long lines = reader.WholeLinesLeft();
    if (columns > 0 && layoutRows > lines / columns) {
        ThrowCutShort(2 + lines, 2 + std::min(SaturatingProduct(columns, layoutRows),
                                              std::numeric_limits<long long>::max() - 2));
    }
    const long long keptColumns = std::min<long long>(columns, TTorrentGrid::kColumns);

    // Rows at the bottom that no line gives any text are not made either, so a file of bare
    // line breaks costs its scan and no more.
    std::array<std::size_t, TTorrentGrid::kColumns> columnStart{};
    columnStart.fill(Text.size());
    long long filledRows = 2;
    for (long long c = 0; c < keptColumns && !reader.AtEnd(); ++c) {
        columnStart[static_cast<std::size_t>(c)] = reader.Position();
        for (long long r = 0; r < layoutRows && !reader.AtEnd(); ++r) {
            if (reader.SkipLine()) {
                filledRows = std::max(filledRows, r + 1);
            }
        }
    }

    Grid.SetRowCount(static_cast<int>(filledRows));
    for (int c = 0; c < keptColumns; ++c) {
        reader.Rewind(columnStart[static_cast<std::size_t>(c)]);
        for (int r = 0; r < filledRows; ++r) {
            Grid.SetCell(c, r, std::string(reader.ReadLine()));
        }
    }
}

std::int64_t GridTextSize(const TTorrentGrid& Grid) {
    std::int64_t size = 0;
    size += static_cast<std::int64_t>(std::to_string(TTorrentGrid::kColumns).size()) + 2;
    size += static_cast<std::int64_t>(std::to_string(Grid.RowCount()).size()) + 2;
    for (int r = 0; r < Grid.RowCount(); ++r) {
        for (const std::string& cell : Grid.RowCells(r)) {
            size += static_cast<std::int64_t>(cell.size()) + 2;
        }
    }
    return size;
}

void SaveGridFile(const TTorrentGrid& Grid, const std::string& FileName, std::int64_t MaxBytes) {
    // A file the reader would refuse is never written, so the list saved before stays.
    if (GridTextSize(Grid) > MaxBytes) {
        throw EListFileError(
            TMessage(Translatable("Message",
                                  "The list is too large to be saved: its file would be larger "
                                  "than ")) +
            SizeMessage(MaxBytes) +
            TMessage(Translatable("Message", ", more than can be read back. The list file "
                                             "\"%1\" is kept as it was saved before."),
                     {FileName}));
    }
    const std::filesystem::path target(FileName);
    const auto fail = [&](int error) {
        throw EListFileError(
            TMessage(Translatable("Message", "Cannot write the list file \"%1\". %2"),
                     {FileName, Reason(error)}));
    };
    std::error_code ignored;
    if (target.has_parent_path()) {
        std::filesystem::create_directories(target.parent_path(), ignored);
    }
    std::string temporary = FileName + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        fail(errno);
    }
    const std::string text = GridToText(Grid);
    std::size_t written = 0;
    int error = 0;
    while (written < text.size()) {
        const ssize_t n = ::write(fd, text.data() + written, text.size() - written);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            error = errno;
            break;
        }
        written += static_cast<std::size_t>(n);
    }
    if (error == 0 && ::fsync(fd) != 0) {
        error = errno;
    }
    // The list is the user's own data: it keeps the permissions of a new private file.
    if (::close(fd) != 0 && error == 0) {
        error = errno;
    }
    if (error == 0) {
        // The file saved before becomes the backup while it still stands under its name.
        try {
            KeepListBackup(FileName);
        } catch (...) {
            ::unlink(temporary.c_str());
            throw;
        }
    }
    if (error == 0 && std::rename(temporary.c_str(), FileName.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        ::unlink(temporary.c_str());
        fail(error);
    }
}

void LoadGridFile(TTorrentGrid& Grid, const std::string& FileName, std::int64_t MaxBytes) {
    TFileBuffer buffer;
    try {
        buffer.ReadWholeFile(FileName, MaxBytes);
    } catch (const EFileReadError& error) {
        throw EListFileError(MessageWithCause(error.Message(), error.Cause()));
    } catch (const ETorrentFileError&) {
        throw EListFileError(TMessage(
            Translatable("Message", "The list file \"%1\" is too large to be read."), {FileName}));
    }
    TextToGrid(buffer.View(), Grid);
}

} // namespace lintervale
