#include "tests/fetch/LoopbackSeeder.h"

#include "fetch/FetchModule.h"

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <fstream>
#include <libtorrent/alert_types.hpp>
#include <libtorrent/create_torrent.hpp>
#include <libtorrent/session.hpp>
#include <libtorrent/torrent_info.hpp>
#include <libtorrent/torrent_status.hpp>
#include <netinet/in.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace lintervale::testing {

namespace fs = std::filesystem;

std::string Hex(std::string_view Bytes) {
    std::string hex;
    for (const char c : Bytes) {
        hex += "0123456789abcdef"[static_cast<unsigned char>(c) >> 4];
        hex += "0123456789abcdef"[static_cast<unsigned char>(c) & 15];
    }
    return hex;
}

namespace {

fs::path NewFolder(const std::string& Kind) {
    static std::atomic<int> count = 0;
    const fs::path folder = fs::temp_directory_path() / (Kind + "-" + std::to_string(::getpid()) +
                                                         "-" + std::to_string(++count));
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

lt::settings_pack LoopbackPack() {
    lt::settings_pack pack;
    pack.set_str(lt::settings_pack::listen_interfaces, "127.0.0.1:0");
    pack.set_bool(lt::settings_pack::enable_dht, false);
    pack.set_bool(lt::settings_pack::enable_lsd, false);
    pack.set_bool(lt::settings_pack::enable_upnp, false);
    pack.set_bool(lt::settings_pack::enable_natpmp, false);
    pack.set_int(lt::settings_pack::alert_mask,
                 lt::alert_category::status | lt::alert_category::error);
    return pack;
}

} // namespace

TLoopbackSeeder::TLoopbackSeeder(TTorrentKind Kind, int Files, const std::string& Name)
    : m_Folder(NewFolder("seed")), m_Name(Name) {
    fs::create_directories(m_Folder / Name);
    for (int i = 0; i < Files; ++i) {
        std::ofstream file(m_Folder / Name / ("file" + std::to_string(i) + ".txt"));
        for (int line = 0; line <= i % 7; ++line) {
            file << "line " << line << " of file " << i << '\n';
        }
    }
    lt::file_storage storage;
    lt::add_files(storage, (m_Folder / Name).string());
    const lt::create_flags_t flags = Kind == TTorrentKind::V1   ? lt::create_torrent::v1_only
                                     : Kind == TTorrentKind::V2 ? lt::create_torrent::v2_only
                                                                : lt::create_flags_t{};
    lt::create_torrent maker(storage, 0, flags);
    lt::set_piece_hashes(maker, m_Folder.string());
    lt::bencode(std::back_inserter(m_Torrent), maker.generate());
    Seed(lt::torrent_status::seeding);
}

TLoopbackSeeder::TLoopbackSeeder(const std::string& Torrent)
    : m_Folder(NewFolder("seed")), m_Torrent(Torrent) {
    // Without its files the torrent stays one that downloads, which serves its contents all
    // the same.
    Seed(lt::torrent_status::downloading);
    m_Name = lt::torrent_info(m_Torrent, lt::from_span).name();
}

void TLoopbackSeeder::Seed(int Ready) {
    auto info = std::make_shared<lt::torrent_info>(m_Torrent, lt::from_span);
    m_Info.assign(info->info_section().data(),
                  static_cast<std::size_t>(info->info_section().size()));
    if (info->info_hashes().has_v1()) {
        m_HashV1 = Hex({info->info_hashes().v1.data(), lt::sha1_hash::size()});
    }
    if (info->info_hashes().has_v2()) {
        m_HashV2 = Hex({info->info_hashes().v2.data(), lt::sha256_hash::size()});
    }

    m_Session = std::make_unique<lt::session>(LoopbackPack());
    lt::add_torrent_params params;
    params.ti = info;
    params.save_path = m_Folder.string();
    // Started at once, not when the session's queue gets to it: a paused torrent turns
    // connections away.
    params.flags |= lt::torrent_flags::seed_mode;
    params.flags &= ~(lt::torrent_flags::paused | lt::torrent_flags::auto_managed);
    const lt::torrent_handle handle = m_Session->add_torrent(std::move(params));
    // Ready once it listens and has reached the state Ready.
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (m_Session->listen_port() == 0 || handle.status().state != Ready ||
           (handle.status().flags & lt::torrent_flags::paused)) {
        if (std::chrono::steady_clock::now() > limit) {
            const lt::torrent_status status = handle.status();
            throw std::runtime_error("the seeder did not start: state " +
                                     std::to_string(static_cast<int>(status.state)) + ", " +
                                     status.errc.message());
        }
        m_Session->wait_for_alert(std::chrono::milliseconds(100));
        std::vector<lt::alert*> alerts;
        m_Session->pop_alerts(&alerts);
    }
    m_Peer = "127.0.0.1:" + std::to_string(m_Session->listen_port());
}

TLoopbackSeeder::~TLoopbackSeeder() {
    Leave();
    std::error_code ignored;
    fs::remove_all(m_Folder, ignored);
}

std::string TLoopbackSeeder::Link() const {
    std::string link = "magnet:?";
    if (!m_HashV1.empty()) {
        link += "xt=urn:btih:" + m_HashV1 + "&";
    }
    if (!m_HashV2.empty()) {
        link += "xt=urn:btmh:1220" + m_HashV2 + "&";
    }
    std::string name = m_Name;
    for (std::size_t at = name.find(' '); at != std::string::npos; at = name.find(' ')) {
        name.replace(at, 1, "%20");
    }
    return link + "dn=" + name + "&x.pe=" + m_Peer;
}

TFetchRequest TLoopbackSeeder::Request(int TimeLimitSeconds) const {
    return {.HashV1 = m_HashV1,
            .HashV2 = m_HashV2,
            .Name = m_Name,
            .Peers = {m_Peer},
            .TimeLimitSeconds = TimeLimitSeconds};
}

void TLoopbackSeeder::Leave() {
    m_Session.reset();
}

TFetchSettings LoopbackFetchSettings() {
    TFetchSettings settings;
    settings.Dht = false;
    settings.PortMapping = false;
    settings.ListenInterfaces = "127.0.0.1:0";
    return settings;
}

TFetchHandler TEventLog::Handler() {
    return [this](TFetchEvent event) {
        {
            const std::lock_guard lock(m_Mutex);
            m_Events.push_back(std::move(event));
        }
        m_Changed.notify_all();
    };
}

std::optional<TFetchEvent> TEventLog::WaitEnd(TFetchId Id, std::chrono::seconds Limit) {
    std::unique_lock lock(m_Mutex);
    std::optional<TFetchEvent> end;
    m_Changed.wait_for(lock, Limit, [&] {
        for (const TFetchEvent& event : m_Events) {
            if (event.Id == Id && event.Kind != TFetchEvent::TKind::Progress) {
                end = event;
                return true;
            }
        }
        return false;
    });
    return end;
}

bool TEventLog::WaitFor(const std::function<bool(const TFetchEvent&)>& Test,
                        std::chrono::seconds Limit) {
    std::unique_lock lock(m_Mutex);
    return m_Changed.wait_for(lock, Limit,
                              [&] { return std::any_of(m_Events.begin(), m_Events.end(), Test); });
}

std::vector<TFetchEvent> TEventLog::Events(TFetchId Id) {
    const std::lock_guard lock(m_Mutex);
    std::vector<TFetchEvent> events;
    for (const TFetchEvent& event : m_Events) {
        if (event.Id == Id) {
            events.push_back(event);
        }
    }
    return events;
}

std::vector<TFetchEvent> TEventLog::All() {
    const std::lock_guard lock(m_Mutex);
    return m_Events;
}

std::unique_ptr<IContentsFetchSession> MakeTestSession(TEventLog& Log, TFetchSettings Settings) {
    TMessage error;
    auto session = MakeFetchSession(Settings, Log.Handler(), error, LINTERVALE_FETCH_MODULE);
    if (!session) {
        throw std::runtime_error(error.English());
    }
    return session;
}

} // namespace lintervale::testing
