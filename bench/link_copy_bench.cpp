// Times copying the links of 10,000 selected rows whose torrents are kept: the first copy reads
// and loads every kept .torrent (as the window does: the store's file, loaded and checked
// against its hash), the second finds what the first read. Also the copy of as many rows
// without kept torrents.
// link_copy_bench [ROWS] [FOLDER]. FOLDER (a fresh temporary one by default) receives the store.

#include "list/TorrentList.h"
#include "metainfo/TorrentFile.h"
#include "store/TorrentStore.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

using namespace lintervale;
using Clock = std::chrono::steady_clock;

namespace {

double Milliseconds(Clock::time_point Since) {
    return std::chrono::duration<double, std::milli>(Clock::now() - Since).count();
}

std::string TorrentBytes(int Number) {
    const std::string name = "Some torrent number " + std::to_string(Number);
    const std::string announce = "http://tracker.example.org:6969/announce";
    const std::string seed = "http://mirror.example.org/pub/" + std::to_string(Number);
    return "d8:announce" + std::to_string(announce.size()) + ":" + announce + "8:url-list" +
           std::to_string(seed.size()) + ":" + seed + "4:infod6:lengthi" +
           std::to_string(1048576 + Number) + "e4:name" + std::to_string(name.size()) + ":" + name +
           "12:piece lengthi262144e6:pieces80:" + std::string(80, 'p') + "ee";
}

// Answers as the window's host does: the store's entry, loaded and checked against the hash.
class TStoreHost final : public TListHost {
public:
    explicit TStoreHost(const TTorrentStore& Store) : m_Store(Store) {}
    bool QuietMode() const override { return true; }
    bool FetchExtra() const override { return false; }
    bool AutoOpen() const override { return false; }
    void ShowNotice(const TMessage&) override {}
    void ShowError(const TMessage&) override {}
    bool Confirm(const TMessage&) override { return true; }
    void AskHelp(const TMessage&) override {}
    void SetStatusText(const TMessage&) override {}
    void OpenUrl(const std::string&) override {}
    void SetClipboardText(const std::string& Text) override { Copied = Text.size(); }
    void PlaySound() override {}
    void FetchTrackers() override {}
    bool KeptTorrent(const std::string& Hash, const std::string&, std::string& Bytes) override {
        if (!m_Store.Has(Hash)) {
            return false;
        }
        Bytes = m_Store.Read(Hash);
        TTorrentFile torrent;
        torrent.Load(Bytes);
        return torrent.Hash() == Hash;
    }
    std::size_t Copied = 0;

private:
    const TTorrentStore& m_Store;
};

} // namespace

int main(int argc, char** argv) {
    const int rows = argc > 1 ? std::atoi(argv[1]) : 10000;
    const std::filesystem::path folder =
        argc > 2 ? std::filesystem::path(argv[2])
                 : std::filesystem::temp_directory_path() / "link_copy_bench";
    std::filesystem::remove_all(folder);
    const TTorrentStore store(folder.string());
    TStoreHost host(store);
    TTorrentList list(host);
    list.WriteHeadings();
    for (int i = 0; i < rows; ++i) {
        const std::string bytes = TorrentBytes(i);
        TTorrentFile torrent;
        torrent.Load(bytes);
        store.Put(torrent.Hash(), bytes);
        list.AddRow(MakeTorrentRow(torrent));
    }
    list.SelectAll();
    for (const char* round : {"first copy (reads every kept torrent)", "second copy"}) {
        const auto start = Clock::now();
        list.CopyToClipboard();
        std::printf("%d rows, %s: %.1f ms, %zu bytes\n", rows, round, Milliseconds(start),
                    host.Copied);
    }
    std::filesystem::remove_all(folder);
    list.ForgetAllKept();
    const auto start = Clock::now();
    list.CopyToClipboard();
    std::printf("%d rows without kept torrents: %.1f ms\n", rows, Milliseconds(start));
    return 0;
}
