#include "trackers/TrackerMessages.h"

#include "trackers/TrackerLimits.h"

namespace lintervale {

std::string QuotedLine(std::string_view Text) {
    if (Text.size() <= kMaxQuotedLineBytes) {
        return std::string(Text);
    }
    std::size_t cut = kMaxQuotedLineBytes;
    // Back to the start of a UTF-8 sequence: continuation bytes are 10xxxxxx.
    while (cut > 0 && (static_cast<unsigned char>(Text[cut]) & 0xC0) == 0x80) {
        --cut;
    }
    return std::string(Text.substr(0, cut)) + "\xE2\x80\xA6";
}

TMessage TrackerLineRefusal(std::size_t Number, std::string_view Line, TTrackerFault Fault) {
    const char* format = nullptr;
    switch (Fault) {
    case TTrackerFault::None:
    case TTrackerFault::Empty:
        return {};
    case TTrackerFault::TooLong:
        format = Translatable("Message", "Line %1 is longer than %3 bytes: %2");
        break;
    case TTrackerFault::NotUtf8:
        format = Translatable("Message", "Line %1 is not valid text: %2");
        break;
    case TTrackerFault::CellCharacter:
        format =
            Translatable("Message", "Line %1 holds a double quote or a \"|\", which would split it "
                                    "into several trackers: %2");
        break;
    case TTrackerFault::Blank:
        format = Translatable("Message",
                              "Line %1 holds a space or a control character, which no tracker "
                              "address holds: %2");
        break;
    case TTrackerFault::NoScheme:
        format = Translatable("Message", "Line %1 is not a tracker address with a scheme, such as "
                                         "udp://tracker.example:6969/announce: %2");
        break;
    }
    return TMessage(format,
                    {std::to_string(Number), QuotedLine(Line), std::to_string(kMaxTrackerBytes)});
}

TMessage TrackerListRefusal(std::size_t Count, std::size_t CellBytes) {
    if (Count <= kMaxTrackersPerCell && CellBytes <= kMaxTrackerCellBytes) {
        return {};
    }
    return TMessage(Translatable("Message", "The list holds %1 trackers in %2 bytes; a torrent "
                                            "holds at most %3 trackers in %4 KiB."),
                    {std::to_string(Count), std::to_string(CellBytes),
                     std::to_string(kMaxTrackersPerCell),
                     std::to_string(kMaxTrackerCellBytes / 1024)});
}

TMessage FetchLeftOutMessage(const std::string& Name, std::size_t Invalid, std::size_t Full) {
    if (Invalid == 0 && Full == 0) {
        return {};
    }
    TMessage message(Translatable("Message", "Trackers fetched for \"%1\":"), {Name});
    if (Invalid > 0) {
        message += TMessage::Verbatim(" ");
        message += TMessage::Counted(
            TranslatableCounted("Message", "%n line left out, not a valid address of at most "
                                           "%1 bytes without a blank, a double quote or a "
                                           "\"|\"."),
            TranslatableCounted("Message", "%n lines left out, not valid addresses of at most "
                                           "%1 bytes without a blank, a double quote or a "
                                           "\"|\"."),
            static_cast<std::int64_t>(Invalid), {std::to_string(kMaxTrackerBytes)});
    }
    if (Full > 0) {
        message += TMessage::Verbatim(" ");
        message += TMessage::Counted(
            TranslatableCounted("Message", "%n tracker left out, as a torrent holds at most %1 "
                                           "trackers in %2 KiB."),
            TranslatableCounted("Message", "%n trackers left out, as a torrent holds at most %1 "
                                           "trackers in %2 KiB."),
            static_cast<std::int64_t>(Full),
            {std::to_string(kMaxTrackersPerCell), std::to_string(kMaxTrackerCellBytes / 1024)});
    }
    return message;
}

} // namespace lintervale
