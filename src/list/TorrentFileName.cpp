#include "list/TorrentFileName.h"

#include <algorithm>

namespace lintervale {

namespace {

bool IsContinuationByte(char C) {
    return (static_cast<unsigned char>(C) & 0xC0) == 0x80;
}

} // namespace

std::string TorrentFileStem(std::string_view Name, std::string_view Hash) {
    if (Name.size() > kMaxFileStemBytes) {
        std::size_t end = kMaxFileStemBytes;
        // A character's continuation bytes go with it.
        while (end > 0 && IsContinuationByte(Name[end])) {
            --end;
        }
        Name = Name.substr(0, end);
    }
    std::string stem(Name);
    for (char& c : stem) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '/' || byte < 0x20 || byte == 0x7F) {
            c = '_';
        }
    }
    const bool blank = std::all_of(stem.begin(), stem.end(), [](char c) { return c == ' '; });
    if (blank || stem == "." || stem == "..") {
        return std::string(Hash);
    }
    return stem;
}

std::string TorrentFileName(std::string_view Stem, int Attempt) {
    std::string name(Stem);
    if (Attempt > 1) {
        name += " (" + std::to_string(Attempt) + ")";
    }
    return name + ".torrent";
}

} // namespace lintervale
