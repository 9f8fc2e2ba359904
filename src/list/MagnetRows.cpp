#include "list/MagnetRows.h"

namespace lintervale {

namespace {

bool IsAsciiSeparator(char C) {
    const auto byte = static_cast<unsigned char>(C);
    return byte <= 0x20 || byte == 0x7F || C == '"' || C == '<' || C == '>';
}

// The text up to the limit, without a word that the limit cuts: a link cut short could
// still parse, with a wrong name or tracker.
std::string_view WithinLimit(std::string_view Text) {
    if (Text.size() <= kMaxLinkTextBytes || IsAsciiSeparator(Text[kMaxLinkTextBytes])) {
        return Text.substr(0, kMaxLinkTextBytes);
    }
    std::size_t end = kMaxLinkTextBytes;
    while (end > 0 && !IsAsciiSeparator(Text[end - 1])) {
        --end;
    }
    return Text.substr(0, end);
}

// At most kShownLinkBytes, cut before a UTF-8 character rather than inside one.
std::string Shortened(std::string_view Link) {
    if (Link.size() <= kShownLinkBytes) {
        return std::string(Link);
    }
    std::size_t end = kShownLinkBytes;
    while (end > 0 && (static_cast<unsigned char>(Link[end]) & 0xC0) == 0x80) {
        --end;
    }
    return std::string(Link.substr(0, end)) + "\xE2\x80\xA6";
}

} // namespace

TTorrentRow MakeMagnetRow(const TMagnetLink& Link, std::size_t* DroppedTrackers) {
    TTorrentRow row;
    row.Name = SpacesForControlBytes(Link.Name);
    row.Hash = Link.Hash;
    std::vector<std::string> kept;
    kept.reserve(Link.Trackers.size());
    for (const std::string& tracker : Link.Trackers) {
        if (tracker.find_first_of("\"|") == std::string::npos) {
            kept.push_back(tracker);
        } else if (DroppedTrackers != nullptr) {
            ++*DroppedTrackers;
        }
    }
    row.Trackers = NewTrackerCell(kept);
    if (Link.Length) {
        row.Size = SizeText(*Link.Length);
    }
    return row;
}

TMagnetRows MagnetRowsOfText(std::string_view Text) {
    TMagnetRows result;
    result.Cut = Text.size() > kMaxLinkTextBytes;
    const std::string_view text = WithinLimit(Text);
    std::size_t pos = 0;
    for (std::string_view link = NextMagnetLink(text, pos); !link.empty();
         link = NextMagnetLink(text, pos)) {
        if (const std::optional<TMagnetLink> parsed = ParseMagnetLink(link)) {
            result.Rows.push_back(MakeMagnetRow(*parsed, &result.DroppedTrackers));
            if (!parsed->Peers.empty()) {
                result.Peers.emplace_back(result.Rows.back().Hash, parsed->Peers);
            }
        } else {
            result.RefusedLinks.push_back(Shortened(link));
            if (result.Refused++ == 0) {
                result.FirstRefused = result.RefusedLinks.back();
            }
        }
    }
    return result;
}

TMessage MagnetRowsStatusText(const TMagnetRows& Result) {
    TMessage text;
    const auto add = [&text](const TMessage& Part) {
        if (!text.Empty()) {
            text += TMessage::Verbatim("  ");
        }
        text += Part;
    };
    if (Result.Refused == 1) {
        add(TMessage(kRefusedLinkText, {Result.FirstRefused}));
    } else if (Result.Refused > 1) {
        add(TMessage(kRefusedMoreText, {Result.FirstRefused, std::to_string(Result.Refused - 1)}));
    }
    if (Result.DroppedTrackers > 0) {
        add(TMessage::Counted(
            TranslatableCounted("Message", "%n tracker holding a double quote or \"|\" left out."),
            TranslatableCounted("Message", "%n trackers holding a double quote or \"|\" left out."),
            static_cast<std::int64_t>(Result.DroppedTrackers)));
    }
    if (Result.Cut) {
        add(TMessage(kTextCutText));
    }
    return text;
}

} // namespace lintervale
