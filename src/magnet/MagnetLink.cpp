#include "magnet/MagnetLink.h"

#include "magnet/URLEncoder.h"
#include "trackers/TrackerCell.h"

#include <algorithm>
#include <charconv>

namespace lintervale {

std::string MagnetLink(const TLinkFacts& Facts, const TLinkContents& Contents) {
    // A 64-digit hash is a BitTorrent v2 SHA-256: a multihash (0x12 SHA-256, 0x20 bytes).
    std::string link =
        Facts.Hash.size() == 64 ? "magnet:?xt=urn:btmh:1220" : "magnet:?xt=urn:btih:";
    link += Facts.Hash;
    if (!Facts.HashV2.empty() && Facts.Hash.size() != 64) {
        link += "&xt=urn:btmh:1220";
        link += Facts.HashV2;
    }
    if (Contents.Name) {
        link += "&dn=";
        link += URLEncode(Facts.Name);
    }
    if (Contents.Trackers != TLinkContents::TTrackers::None) {
        std::vector<std::string> trackers = ReadTrackerCell(Facts.TrackerCell);
        if (Contents.Trackers == TLinkContents::TTrackers::First && trackers.size() > 1) {
            trackers.resize(1);
        }
        link += "&tr=";
        for (std::size_t i = 0; i < trackers.size(); ++i) {
            if (i > 0) {
                link += "&tr=";
            }
            link += URLEncode(trackers[i]);
        }
    }
    if (Contents.WebSeeds) {
        for (const std::string& seed : Facts.WebSeeds) {
            link += "&ws=";
            link += URLEncode(seed);
        }
    }
    if (Contents.ExactLength && Facts.Length && *Facts.Length >= 0) {
        link += "&xl=";
        link += std::to_string(*Facts.Length);
    }
    for (const std::string& peer : Contents.Peers) {
        if (IsPeerAddress(peer)) {
            link += "&x.pe=";
            link += peer;
        }
    }
    return link;
}

std::string MagnetLinkOfRow(std::string_view Name, std::string_view Hash,
                            std::string_view TrackerCell) {
    return MagnetLink({.Hash = Hash, .Name = Name, .TrackerCell = TrackerCell}, {});
}

std::string SelectOnlyValue(std::vector<std::int64_t> Indices) {
    std::sort(Indices.begin(), Indices.end());
    Indices.erase(std::unique(Indices.begin(), Indices.end()), Indices.end());
    std::string value;
    for (std::size_t i = 0; i < Indices.size();) {
        std::size_t last = i;
        while (last + 1 < Indices.size() && Indices[last + 1] == Indices[last] + 1) {
            ++last;
        }
        if (!value.empty()) {
            value += ',';
        }
        value += std::to_string(Indices[i]);
        if (last >= i + 2) {
            value += '-' + std::to_string(Indices[last]);
            i = last + 1;
        } else {
            ++i;
        }
    }
    return value;
}

namespace {

bool IsPort(std::string_view text) {
    unsigned port = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), port);
    return !text.empty() && text.front() != '0' && error == std::errc() &&
           end == text.data() + text.size() && port >= 1 && port <= 65535;
}

bool IsHostName(std::string_view host) {
    if (host.empty() || host.size() > 253 || host.front() == '.' || host.back() == '.' ||
        host.front() == '-') {
        return false;
    }
    for (std::size_t i = 0; i < host.size(); ++i) {
        const char c = host[i];
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        const bool digit = c >= '0' && c <= '9';
        if (!letter && !digit && c != '-' && c != '.') {
            return false;
        }
        if (c == '.' && host[i + 1] == '.') {
            return false;
        }
    }
    return true;
}

bool IsIPv6(std::string_view host) {
    if (host.size() < 2 || host.size() > 45 || std::count(host.begin(), host.end(), ':') < 2) {
        return false;
    }
    return std::all_of(host.begin(), host.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F') ||
               c == ':' || c == '.';
    });
}

} // namespace

bool IsPeerAddress(std::string_view Text) {
    const std::size_t colon = Text.rfind(':');
    if (colon == std::string_view::npos || !IsPort(Text.substr(colon + 1))) {
        return false;
    }
    const std::string_view host = Text.substr(0, colon);
    if (!host.empty() && host.front() == '[') {
        return host.size() > 2 && host.back() == ']' && IsIPv6(host.substr(1, host.size() - 2));
    }
    return IsHostName(host);
}

} // namespace lintervale
