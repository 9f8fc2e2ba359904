#include "list/ListDataFile.h"

#include "list/FileBuffer.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
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
        if (AtEnd()) {
            return {};
        }
        const std::size_t end = std::min(m_Text.find('\n', m_At), m_Text.size());
        std::string_view line = m_Text.substr(m_At, end - m_At);
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
            throw EListFileError("Invalid numeric input");
        }
        m_At = end;
        ReadLine();
        return value;
    }

    // Lines left, the current one counted: a bound on the rows worth making.
    std::size_t LinesLeft() const {
        if (AtEnd()) {
            return 0;
        }
        return static_cast<std::size_t>(std::count(
                   m_Text.begin() + static_cast<std::ptrdiff_t>(m_At), m_Text.end(), '\n')) +
               1;
    }

private:
    std::string_view m_Text;
    std::size_t m_At = 0;
};

void AppendCell(std::string& text, const std::string& cell) {
    const std::size_t start = text.size();
    text += cell;
    std::replace_if(
        text.begin() + static_cast<std::ptrdiff_t>(start), text.end(),
        [](char c) { return c == '\r' || c == '\n'; }, ' ');
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
    // Rows beyond the lines left would be empty in every column: they are not made.
    const long long declared = reader.ReadCount();
    const auto linesLeft = static_cast<long long>(reader.LinesLeft());
    const long long rows = std::clamp(declared, 2LL, std::max(2LL, linesLeft));
    Grid.SetRowCount(static_cast<int>(std::min<long long>(rows, 1LL << 30)));
    for (long long c = 0; c < columns && !reader.AtEnd(); ++c) {
        for (int r = 0; r < Grid.RowCount(); ++r) {
            const std::string_view line = reader.ReadLine();
            if (c < TTorrentGrid::kColumns) {
                Grid.SetCell(static_cast<int>(c), r, std::string(line));
            }
        }
    }
}

void SaveGridFile(const TTorrentGrid& Grid, const std::string& FileName) {
    const std::filesystem::path target(FileName);
    const auto fail = [&](int error) {
        throw EListFileError("Cannot write the list file \"" + FileName + "\". " + Reason(error));
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
    if (error == 0 && std::rename(temporary.c_str(), FileName.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        ::unlink(temporary.c_str());
        fail(error);
    }
}

void LoadGridFile(TTorrentGrid& Grid, const std::string& FileName) {
    TFileBuffer buffer;
    try {
        buffer.ReadWholeFile(FileName);
    } catch (const EFileReadError& error) {
        throw EListFileError(error.what());
    } catch (const std::exception&) {
        throw EListFileError("The list file \"" + FileName + "\" is too large to be read.");
    }
    TextToGrid(buffer.View(), Grid);
}

} // namespace lintervale
