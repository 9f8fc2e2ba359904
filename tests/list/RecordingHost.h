#pragma once

// A TListHost that records what the list asks of its window, with options and answers the
// test sets. Messages are recorded in their English words.

#include "list/ListHost.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace lintervale::testing {

class TRecordingHost : public TListHost {
public:
    bool Quiet = false;
    bool Fetch = false;
    bool Open = false;
    bool ConfirmAnswer = true;

    std::vector<std::string> Notices, Errors, Questions, Urls;
    std::string Status, Clipboard;
    int Sounds = 0;
    int Fetches = 0;

    bool QuietMode() const override { return Quiet; }
    bool FetchExtra() const override { return Fetch; }
    bool AutoOpen() const override { return Open; }
    void ShowNotice(const TMessage& Text) override { Notices.push_back(Text.English()); }
    void ShowError(const TMessage& Text) override { Errors.push_back(Text.English()); }
    bool Confirm(const TMessage& Text) override {
        Questions.push_back(Text.English());
        return ConfirmAnswer;
    }
    void AskHelp(const TMessage& Text) override { Questions.push_back(Text.English()); }
    void SetStatusText(const TMessage& Text) override { Status = Text.English(); }
    void OpenUrl(const std::string& Url) override { Urls.push_back(Url); }
    void SetClipboardText(const std::string& Text) override { Clipboard = Text; }
    void PlaySound() override { ++Sounds; }
    void FetchTrackers() override { ++Fetches; }

    // The torrents kept for the list (none unless a test keeps some), and how often one was
    // asked for.
    std::map<std::string, std::string> Kept;
    int KeptReads = 0;
    bool KeptTorrent(const std::string& Hash, const std::string&, std::string& Bytes) override {
        ++KeptReads;
        const auto kept = Kept.find(Hash);
        if (kept == Kept.end()) {
            return false;
        }
        Bytes = kept->second;
        return true;
    }

    // With HoldFetches, what waits for a fetch to end runs when the test ends it (EndFetch),
    // as in the window, where the answer comes later; otherwise at once.
    bool HoldFetches = false;
    std::vector<std::pair<std::string, std::function<void()>>> AfterFetch;
    void WhenFetched(const std::string& Hash, std::function<void()> Action) override {
        if (!HoldFetches) {
            Action();
            return;
        }
        AfterFetch.emplace_back(Hash, std::move(Action));
    }
    void EndFetch(const std::string& Hash) {
        auto waiting = std::move(AfterFetch);
        AfterFetch.clear();
        for (auto& [hash, action] : waiting) {
            if (hash == Hash) {
                action();
            } else {
                AfterFetch.emplace_back(hash, std::move(action));
            }
        }
    }
};

// Writes a small single-file torrent and returns its path.
inline std::string WriteTorrent(const std::filesystem::path& folder, const std::string& name,
                                const std::string& announce = "http://t.example/announce",
                                long long length = 1048576) {
    const std::string body = "d8:announce" + std::to_string(announce.size()) + ":" + announce +
                             "4:infod6:lengthi" + std::to_string(length) + "e4:name" +
                             std::to_string(name.size()) + ":" + name +
                             "12:piece lengthi16384e6:pieces20:01234567890123456789ee";
    const std::filesystem::path file = folder / (name + ".torrent");
    std::ofstream(file, std::ios::binary) << body;
    return file.string();
}

} // namespace lintervale::testing
