#include "trackers/TrackerCell.h"

namespace lintervale {

namespace {

bool IsBlank(char c) {
    const auto code = static_cast<unsigned char>(c);
    return code >= 1 && code <= 32;
}

} // namespace

std::vector<std::string> ReadTrackerCell(std::string_view Cell) {
    const std::string_view text = Cell.substr(0, Cell.find('\0'));
    std::vector<std::string> items;
    std::size_t p = 0;
    const std::size_t end = text.size();
    while (p < end && IsBlank(text[p])) {
        ++p;
    }
    while (p < end) {
        std::string item;
        if (text[p] == '"') {
            ++p;
            while (p < end) {
                if (text[p] == '"') {
                    if (p + 1 < end && text[p + 1] == '"') {
                        item += '"';
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                item += text[p++];
            }
        } else {
            const std::size_t start = p;
            while (p < end && text[p] != '|' && static_cast<unsigned char>(text[p]) > 32) {
                ++p;
            }
            item.assign(text.substr(start, p - start));
        }
        items.push_back(std::move(item));
        while (p < end && IsBlank(text[p])) {
            ++p;
        }
        if (p < end && text[p] == '|') {
            if (p + 1 == end) {
                items.emplace_back();
            }
            do {
                ++p;
            } while (p < end && IsBlank(text[p]));
        }
    }
    return items;
}

std::string WriteTrackerCell(const std::vector<std::string>& Trackers) {
    std::string cell;
    for (std::size_t i = 0; i < Trackers.size(); ++i) {
        if (i > 0) {
            cell += '|';
        }
        cell += '"';
        cell += Trackers[i];
        cell += '"';
    }
    return cell;
}

std::string WriteTrackerCellNonEmpty(const std::vector<std::string>& Trackers) {
    std::vector<std::string> kept;
    for (const std::string& tracker : Trackers) {
        if (!tracker.empty()) {
            kept.push_back(tracker);
        }
    }
    return WriteTrackerCell(kept);
}

} // namespace lintervale
