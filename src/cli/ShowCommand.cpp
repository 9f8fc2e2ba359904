#include "cli/ShowCommand.h"

#include "cli/FileCommand.h"
#include "cli/Utf8Output.h"
#include "list/TorrentRow.h"
#include "magnet/MagnetLink.h"
#include "metainfo/TorrentDetails.h"

#include <ctime>
#include <exception>

namespace lintervale {

namespace {

// Adds the bytes of Text to Out as the form wants them.
using TAppend = void (*)(std::string&, std::string_view);

// "1.4 GiB" and the like, for people.
std::string Readable(std::int64_t bytes) {
    const char* units[] = {"bytes", "KiB", "MiB", "GiB", "TiB", "PiB", "EiB"};
    double value = static_cast<double>(bytes);
    int unit = 0;
    while (value >= 1024 && unit < 6) {
        value /= 1024;
        ++unit;
    }
    char text[32];
    std::snprintf(text, sizeof text, unit == 0 ? "%.0f %s" : "%.1f %s", value, units[unit]);
    return text;
}

std::string UtcText(std::int64_t seconds) {
    const auto time = static_cast<std::time_t>(seconds);
    std::tm parts{};
    char text[64];
    if (gmtime_r(&time, &parts) == nullptr ||
        std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S UTC", &parts) == 0) {
        return std::to_string(seconds);
    }
    return text;
}

class TTextForm {
public:
    explicit TTextForm(TChunkedText& out) : m_Chunks(out), m_Out(out.Text()) {}

    void Field(std::string_view label, std::string_view value) {
        m_Out += label;
        m_Out += ": ";
        AppendPlainText(m_Out, value);
        m_Out += '\n';
    }
    void List(std::string_view label, const std::vector<std::string>& values) {
        if (values.empty()) {
            return;
        }
        m_Out += label;
        m_Out += ":\n";
        for (const std::string& value : values) {
            m_Out += "  ";
            AppendPlainText(m_Out, value);
            m_Out += '\n';
        }
    }

    void Write(const std::string& file, const TTorrentFile& torrent, const TTorrentDetails& d,
               const std::string& link) {
        Field("File", file);
        Field("Name", d.Name);
        if (!d.HashV1.empty()) {
            Field("Info hash v1", d.HashV1);
        }
        if (!d.HashV2.empty()) {
            Field("Info hash v2", d.HashV2);
        }
        Field("Total size", std::to_string(d.TotalSize) + " bytes (" + Readable(d.TotalSize) + ")");
        Field("Files", std::to_string(d.FileCount));
        Field("Piece size",
              std::to_string(d.PieceLength) + " bytes (" + Readable(d.PieceLength) + ")");
        Field("Pieces", std::to_string(d.PieceCount));
        Field("Private", d.Private ? "yes" : "no");
        if (d.CreatedBy) {
            Field("Created by", *d.CreatedBy);
        }
        if (d.CreationDate) {
            Field("Creation date", UtcText(*d.CreationDate));
        }
        if (d.Comment) {
            Field("Comment", *d.Comment);
        }
        if (d.Source) {
            Field("Source", *d.Source);
        }
        if (!d.TrackerTiers.empty()) {
            m_Out += "Trackers:\n";
            for (std::size_t tier = 0; tier < d.TrackerTiers.size(); ++tier) {
                m_Out += "  Tier " + std::to_string(tier + 1) + ":\n";
                for (const std::string& tracker : d.TrackerTiers[tier]) {
                    m_Out += "    ";
                    AppendPlainText(m_Out, tracker);
                    m_Out += '\n';
                }
            }
        }
        List("Web seeds", d.WebSeeds);
        List("DHT nodes", d.DhtNodes);
        Field("Magnet link", link);
        m_Out += "Content:\n";
        VisitContents(torrent, [this](const TContentFile& f) {
            m_Out += "  ";
            AppendPlainText(m_Out, f.Path);
            m_Out += " (" + std::to_string(f.Length) + " bytes)";
            if (f.Padding()) {
                m_Out += " [padding]";
            } else if (f.Link()) {
                m_Out += " [link to ";
                AppendPlainText(m_Out, f.Target);
                m_Out += ']';
            }
            m_Out += '\n';
            m_Chunks.Pass();
        });
    }

private:
    TChunkedText& m_Chunks;
    std::string& m_Out;
};

class TJsonForm {
public:
    explicit TJsonForm(TChunkedText& out) : m_Chunks(out), m_Out(out.Text()) {}

    void Key(std::string_view key) {
        m_Out += m_First ? "{\"" : ",\"";
        m_First = false;
        m_Out += key;
        m_Out += "\":";
    }
    void Text(std::string_view key, std::string_view value) {
        Key(key);
        AppendJsonString(m_Out, value);
    }
    void OptionalText(std::string_view key, const std::optional<std::string>& value) {
        if (value) {
            Text(key, *value);
        } else {
            Null(key);
        }
    }
    void HashOrNull(std::string_view key, const std::string& hash) {
        if (hash.empty()) {
            Null(key);
        } else {
            Text(key, hash);
        }
    }
    void Number(std::string_view key, std::int64_t value) {
        Key(key);
        m_Out += std::to_string(value);
    }
    void Null(std::string_view key) {
        Key(key);
        m_Out += "null";
    }
    void Strings(const std::vector<std::string>& values) {
        m_Out += '[';
        for (std::size_t i = 0; i < values.size(); ++i) {
            if (i > 0) {
                m_Out += ',';
            }
            AppendJsonString(m_Out, values[i]);
        }
        m_Out += ']';
    }
    void End() { m_Out += '}'; }

    void Write(const std::string& file, const TTorrentFile& torrent, const TTorrentDetails& d,
               const std::string& link) {
        Text("file", file);
        Text("name", d.Name);
        HashOrNull("info_hash_v1", d.HashV1);
        HashOrNull("info_hash_v2", d.HashV2);
        Number("total_size", d.TotalSize);
        Number("piece_length", d.PieceLength);
        Number("piece_count", d.PieceCount);
        Key("private");
        m_Out += d.Private ? "true" : "false";
        OptionalText("created_by", d.CreatedBy);
        OptionalText("comment", d.Comment);
        OptionalText("source", d.Source);
        if (d.CreationDate) {
            Number("creation_date", *d.CreationDate);
        } else {
            Null("creation_date");
        }
        Key("trackers");
        m_Out += '[';
        for (std::size_t tier = 0; tier < d.TrackerTiers.size(); ++tier) {
            if (tier > 0) {
                m_Out += ',';
            }
            Strings(d.TrackerTiers[tier]);
        }
        m_Out += ']';
        Key("web_seeds");
        Strings(d.WebSeeds);
        Key("dht_nodes");
        Strings(d.DhtNodes);
        Key("files");
        m_Out += '[';
        bool first = true;
        VisitContents(torrent, [&](const TContentFile& f) {
            m_Out += first ? "\n{\"path\":" : ",\n{\"path\":";
            first = false;
            AppendJsonString(m_Out, f.Path);
            m_Out += ",\"length\":";
            m_Out += std::to_string(f.Length);
            m_Out += ",\"attr\":";
            AppendJsonString(m_Out, f.Attr);
            m_Out += '}';
            m_Chunks.Pass();
        });
        m_Out += first ? "]" : "\n]";
        Text("link", link);
        Null("error");
        End();
    }

private:
    TChunkedText& m_Chunks;
    std::string& m_Out;
    bool m_First = true;
};

TFileOutcome Show(const std::string& file, TFileBuffer& buffer, TFileSink& out, bool json,
                  const TLinkContents& contents) {
    std::string failure;
    try {
        ReadCommandFile(file, buffer);
        TTorrentFile torrent;
        torrent.Load(buffer.View());
        const TTorrentRow row = MakeTorrentRow(torrent);
        const std::string link = MagnetLink(LinkFactsOf(row, torrent), contents);
        const TTorrentDetails details = ReadDetails(torrent);
        TChunkedText text(out);
        if (json) {
            TJsonForm(text).Write(file, torrent, details, link);
        } else {
            TTextForm(text).Write(file, torrent, details, link);
        }
        return {true, {}};
    } catch (...) {
        failure = FailureText();
    }
    if (json) {
        TChunkedText text(out);
        TJsonForm form(text);
        form.Text("file", file);
        form.Text("error", failure);
        form.End();
    }
    return {false, file + ": " + failure + '\n'};
}

} // namespace

int RunShowCommand(const std::vector<std::string>& Files, bool Json, const TLinkContents& Contents,
                   std::FILE* Out, std::FILE* Err) {
    const TFileWork work = [Json, &Contents](const std::string& file, TFileBuffer& buffer,
                                             TFileSink& out) {
        return Show(file, buffer, out, Json, Contents);
    };
    return RunFileCommand(
        Files, work, Json ? TFraming{"[\n", ",\n", "\n]\n"} : TFraming{{}, "\n", {}}, Out, Err);
}

} // namespace lintervale
