#include "magnet/LinkSettings.h"

#include <cstdlib>
#include <sstream>

namespace lintervale {

namespace {

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
        text.remove_suffix(1);
    }
    // A quoted value stands without its quotes.
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
        text = text.substr(1, text.size() - 2);
    }
    return text;
}

bool Flag(std::string_view value, bool fallback) {
    if (value == "1") {
        return true;
    }
    return value == "0" ? false : fallback;
}

} // namespace

std::string LinkTrackersValue(TLinkContents::TTrackers Trackers) {
    switch (Trackers) {
    case TLinkContents::TTrackers::First:
        return "first";
    case TLinkContents::TTrackers::None:
        return "none";
    case TLinkContents::TTrackers::All:
        break;
    }
    return "all";
}

std::string LinkPeersValue(const std::vector<std::string>& Peers) {
    std::string value;
    for (const std::string& peer : Peers) {
        value += value.empty() ? "" : " ";
        value += peer;
    }
    return value;
}

void ApplyLinkSetting(std::string_view Key, std::string_view Value, TLinkContents& Contents) {
    Value = Trimmed(Value);
    const TLinkContents defaults;
    if (Key == kLinkNameKey) {
        Contents.Name = Flag(Value, defaults.Name);
    } else if (Key == kLinkWebSeedsKey) {
        Contents.WebSeeds = Flag(Value, defaults.WebSeeds);
    } else if (Key == kLinkExactLengthKey) {
        Contents.ExactLength = Flag(Value, defaults.ExactLength);
    } else if (Key == kLinkTrackersKey) {
        Contents.Trackers = Value == "first"  ? TLinkContents::TTrackers::First
                            : Value == "none" ? TLinkContents::TTrackers::None
                                              : TLinkContents::TTrackers::All;
    } else if (Key == kLinkPeersKey) {
        Contents.Peers.clear();
        std::istringstream words{std::string(Value)};
        for (std::string peer; words >> peer;) {
            if (IsPeerAddress(peer)) {
                Contents.Peers.push_back(peer);
            }
        }
    }
}

TLinkContents ReadLinkSettings(std::string_view IniText) {
    TLinkContents contents;
    bool topLevel = true;
    while (!IniText.empty()) {
        const std::size_t end = std::min(IniText.find('\n'), IniText.size());
        const std::string_view line = Trimmed(IniText.substr(0, end));
        IniText.remove_prefix(std::min(end + 1, IniText.size()));
        if (!line.empty() && line.front() == '[') {
            topLevel = line == "[General]";
            continue;
        }
        const std::size_t equals = line.find('=');
        if (topLevel && equals != std::string_view::npos) {
            ApplyLinkSetting(Trimmed(line.substr(0, equals)), line.substr(equals + 1), contents);
        }
    }
    return contents;
}

std::string OptionsFilePath() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::string folder;
    if (config != nullptr && config[0] == '/') {
        folder = config;
    } else {
        const char* home = std::getenv("HOME");
        folder = std::string(home != nullptr ? home : "") + "/.config";
    }
    return folder + "/Lintervale/Lintervale.conf";
}

} // namespace lintervale
