#include "metainfo/TorrentDetails.h"

#include <algorithm>

namespace lintervale {

namespace {

constexpr std::uint32_t kNone = TBDocument::kNone;

bool IsString(const TBDocument& document, std::uint32_t item) {
    return item != kNone && document[item].Kind() == TBKind::String;
}

bool IsInteger(const TBDocument& document, std::uint32_t item) {
    return item != kNone && document[item].Kind() == TBKind::Integer;
}

bool IsList(const TBDocument& document, std::uint32_t item) {
    return item != kNone && document[item].Kind() == TBKind::List;
}

std::optional<std::string> OptionalText(const TBDocument& document, std::uint32_t dictionary,
                                        std::string_view key) {
    const std::uint32_t item = document.Find(dictionary, key);
    if (IsString(document, item)) {
        return std::string(document.Text(item));
    }
    return std::nullopt;
}

// The first of the keys that holds a non-empty string, as clients prefer the ".utf-8" form.
std::optional<std::string> PreferredText(const TBDocument& document, std::uint32_t dictionary,
                                         std::string_view preferred, std::string_view plain) {
    std::optional<std::string> text = OptionalText(document, dictionary, preferred);
    if (!text || text->empty()) {
        text = OptionalText(document, dictionary, plain);
    }
    return text;
}

std::string_view LeftTrimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t' || text.front() == '\r' ||
                             text.front() == '\n')) {
        text.remove_prefix(1);
    }
    return text;
}

std::vector<std::vector<std::string>> TrackerTiersOf(const TBDocument& document,
                                                     std::uint32_t root) {
    std::vector<std::vector<std::string>> tiers;
    const std::uint32_t list = document.Find(root, "announce-list");
    if (IsList(document, list)) {
        for (std::uint32_t tier = document.First(list); tier != document.End(list);
             tier = document.Next(tier)) {
            if (!IsList(document, tier)) {
                continue;
            }
            std::vector<std::string> trackers;
            for (std::uint32_t url = document.First(tier); url != document.End(tier);
                 url = document.Next(url)) {
                const std::string_view text =
                    IsString(document, url) ? LeftTrimmed(document.Text(url)) : std::string_view();
                if (!text.empty()) {
                    trackers.emplace_back(text);
                }
            }
            if (!trackers.empty()) {
                tiers.push_back(std::move(trackers));
            }
        }
    }
    if (tiers.empty()) {
        const std::uint32_t announce = document.Find(root, "announce");
        const std::string_view text = IsString(document, announce)
                                          ? LeftTrimmed(document.Text(announce))
                                          : std::string_view();
        if (!text.empty()) {
            tiers.push_back({std::string(text)});
        }
    }
    return tiers;
}

std::vector<std::string> WebSeedsOf(const TBDocument& document, std::uint32_t root) {
    std::vector<std::string> seeds;
    const auto add = [&seeds](std::string_view url) {
        if (!url.empty() && std::find(seeds.begin(), seeds.end(), url) == seeds.end()) {
            seeds.emplace_back(url);
        }
    };
    const std::uint32_t list = document.Find(root, "url-list");
    if (IsString(document, list)) {
        add(document.Text(list));
    } else if (IsList(document, list)) {
        for (std::uint32_t url = document.First(list); url != document.End(list);
             url = document.Next(url)) {
            if (IsString(document, url)) {
                add(document.Text(url));
            }
        }
    }
    return seeds;
}

std::vector<std::string> DhtNodesOf(const TBDocument& document, std::uint32_t root) {
    std::vector<std::string> nodes;
    const std::uint32_t list = document.Find(root, "nodes");
    if (!IsList(document, list)) {
        return nodes;
    }
    for (std::uint32_t node = document.First(list); node != document.End(list);
         node = document.Next(node)) {
        if (!IsList(document, node)) {
            continue;
        }
        const std::uint32_t host = document.First(node);
        if (host == document.End(node) || !IsString(document, host)) {
            continue;
        }
        const std::uint32_t port = document.Next(host);
        if (port == document.End(node) || !IsInteger(document, port)) {
            continue;
        }
        nodes.push_back(std::string(document.Text(host)) + ":" +
                        std::to_string(document.Number(port)));
    }
    return nodes;
}

// Appends a path list's string parts to Out, joined by '/'.
void JoinPath(const TBDocument& document, std::uint32_t list, std::string& out) {
    bool first = true;
    for (std::uint32_t part = document.First(list); part != document.End(list);
         part = document.Next(part)) {
        if (!first) {
            out += '/';
        }
        first = false;
        out += document.Text(part);
    }
}

class TContentWalk {
public:
    TContentWalk(const TBDocument& document, const std::function<void(const TContentFile&)>& visit)
        : m_Document(document), m_Visit(visit) {}

    // A v1 "files" list.
    void Files(std::uint32_t files) {
        for (std::uint32_t entry = m_Document.First(files); entry != m_Document.End(files);
             entry = m_Document.Next(entry)) {
            m_Path.clear();
            if (const std::uint32_t path = m_Document.Find(entry, "path");
                IsList(m_Document, path)) {
                JoinPath(m_Document, path, m_Path);
            }
            Emit(entry);
        }
    }

    // A v2 "file tree" node whose path so far is in m_Path.
    void Tree(std::uint32_t node) {
        for (std::uint32_t key = m_Document.First(node); key != m_Document.End(node);
             key = m_Document.Next(m_Document.Next(key))) {
            const std::uint32_t value = m_Document.Next(key);
            if (m_Document[value].Kind() != TBKind::Dictionary) {
                continue;
            }
            const std::string_view name = m_Document.Text(key);
            if (name.empty()) {
                Emit(value);
                continue;
            }
            const std::size_t before = m_Path.size();
            if (before > 0) {
                m_Path += '/';
            }
            m_Path += name;
            Tree(value);
            m_Path.resize(before);
        }
    }

    // The one file of a single-file torrent.
    void Single(std::uint32_t info, std::string_view name) {
        m_Path.assign(name);
        Emit(info);
    }

private:
    void Emit(std::uint32_t description) {
        TContentFile file;
        file.Path = m_Path;
        if (const std::uint32_t length = m_Document.Find(description, "length");
            IsInteger(m_Document, length)) {
            file.Length = m_Document.Number(length);
        }
        if (const std::uint32_t attr = m_Document.Find(description, "attr");
            IsString(m_Document, attr)) {
            file.Attr = m_Document.Text(attr);
        }
        m_Target.clear();
        if (const std::uint32_t target = m_Document.Find(description, "symlink path");
            IsList(m_Document, target)) {
            JoinPath(m_Document, target, m_Target);
            file.Target = m_Target;
        }
        m_Visit(file);
    }

    const TBDocument& m_Document;
    const std::function<void(const TContentFile&)>& m_Visit;
    std::string m_Path;
    std::string m_Target;
};

} // namespace

TTorrentDetails ReadDetails(const TTorrentFile& Torrent) {
    const TBDocument& document = Torrent.Document();
    const std::uint32_t root = 0;
    const std::uint32_t info = Torrent.InfoRecord();
    TTorrentDetails details;
    details.Name = Torrent.Name();
    details.HashV1 = Torrent.HashV1();
    details.HashV2 = Torrent.HashV2();
    details.TotalSize = Torrent.Length();
    details.FileCount = Torrent.Count();
    details.PieceLength = Torrent.PieceLength();
    if (!Torrent.V2Only()) {
        details.PieceCount = static_cast<std::int64_t>(Torrent.Pieces().size() / 20);
    } else if (details.PieceLength > 0) {
        // Each file of a v2 torrent starts a piece of its own.
        VisitContents(Torrent, [&](const TContentFile& file) {
            if (!file.Padding() && file.Length > 0) {
                details.PieceCount += (file.Length - 1) / details.PieceLength + 1;
            }
        });
    }
    details.Private = IsPrivate(Torrent);
    details.CreatedBy = PreferredText(document, root, "created by.utf-8", "created by");
    details.Comment = PreferredText(document, root, "comment.utf-8", "comment");
    details.Source = OptionalText(document, info, "source");
    if (const std::uint32_t date = document.Find(root, "creation date");
        IsInteger(document, date) && document.Number(date) >= 0) {
        details.CreationDate = document.Number(date);
    }
    details.TrackerTiers = TrackerTiersOf(document, root);
    details.WebSeeds = WebSeedsOf(document, root);
    details.DhtNodes = DhtNodesOf(document, root);
    return details;
}

bool IsPrivate(const TTorrentFile& Torrent) {
    const TBDocument& document = Torrent.Document();
    const std::uint32_t info = Torrent.InfoRecord();
    if (info == kNone) {
        return false;
    }
    const std::uint32_t flag = document.Find(info, "private");
    return IsInteger(document, flag) && document.Number(flag) != 0;
}

std::vector<std::string> ReadWebSeeds(const TTorrentFile& Torrent) {
    return Torrent.InfoRecord() == kNone ? std::vector<std::string>()
                                         : WebSeedsOf(Torrent.Document(), 0);
}

void VisitContents(const TTorrentFile& Torrent,
                   const std::function<void(const TContentFile&)>& Visit) {
    const TBDocument& document = Torrent.Document();
    const std::uint32_t info = Torrent.InfoRecord();
    if (info == kNone) {
        return;
    }
    TContentWalk walk(document, Visit);
    // As the loader reads it: a "length" makes a single-file torrent, whatever else is there.
    if (Torrent.V2Only()) {
        walk.Tree(document.Find(info, "file tree"));
    } else if (document.Find(info, "length") != kNone) {
        walk.Single(info, Torrent.Name());
    } else if (const std::uint32_t files = document.Find(info, "files"); IsList(document, files)) {
        walk.Files(files);
    }
}

} // namespace lintervale
