#pragma once

// What the tracker editor and the fetch of trackers say about lines they leave out.

#include "messages/Message.h"
#include "trackers/TrackerAddress.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace lintervale {

inline constexpr const char* kDiscardTrackerEditsText =
    Translatable("Message", "Discard the changes to the tracker list?");

// The longest part of a line that a message quotes, in bytes; a longer line is cut at a
// character's start and ends with an ellipsis.
inline constexpr std::size_t kMaxQuotedLineBytes = 200;

// Text cut to kMaxQuotedLineBytes, as messages quote it.
std::string QuotedLine(std::string_view Text);

// Why the editor cannot save line Number (counted from 1), which holds Line.
TMessage TrackerLineRefusal(std::size_t Number, std::string_view Line, TTrackerFault Fault);
// Why the editor cannot save a list of Count trackers taking CellBytes in the cell; the empty
// message when the list is within the limits.
TMessage TrackerListRefusal(std::size_t Count, std::size_t CellBytes);

// What a fetch for the torrent Name left out: Invalid tracker lines that were no address the
// cell can carry, and Full trackers the row had no room for. The empty message when nothing
// was left out.
TMessage FetchLeftOutMessage(const std::string& Name, std::size_t Invalid, std::size_t Full);

} // namespace lintervale
