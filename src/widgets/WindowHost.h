#pragma once

// What the list's commands ask of the window (TListHost): the option boxes they read, the
// boxes they show (with the grid kept current under them), the status line, the clipboard,
// the desktop's magnet handler, the sound, and the fetch of trackers. The window attaches
// its parts once they exist; nothing asks before that.

#include "list/ListHost.h"

#include <QString>
#include <functional>
#include <string>
#include <utility>
#include <vector>

class QCheckBox;
class QLabel;
class QSoundEffect;
class QWidget;

namespace lintervale {

class BatchAdder;
class KeptTorrents;
class TrackerFetcher;

struct WindowHostParts {
    QWidget* Window = nullptr; // the boxes' parent
    QCheckBox* QuietMode = nullptr;
    QCheckBox* FetchExtra = nullptr;
    QCheckBox* AutoOpen = nullptr;
    BatchAdder* Adder = nullptr;
    QLabel* Status = nullptr;
    QSoundEffect* Sound = nullptr;
    TrackerFetcher* Fetcher = nullptr;
};

class WindowHost final : public TListHost {
public:
    void attach(const WindowHostParts& Parts) { m_Parts = Parts; }
    // The kept torrents, made after the rest; none are kept without them.
    void attachKept(KeptTorrents* Kept) { m_Kept = Kept; }

    bool QuietMode() const override;
    bool FetchExtra() const override;
    bool AutoOpen() const override;
    void ShowNotice(const TMessage& Text) override;
    void ShowError(const TMessage& Text) override;
    bool Confirm(const TMessage& Text) override;
    void AskHelp(const TMessage& Text) override;
    void SetStatusText(const TMessage& Text) override;
    void OpenUrl(const std::string& Url) override;
    void SetClipboardText(const std::string& Text) override;
    void PlaySound() override;
    void FetchTrackers() override;
    void WhenFetched(const std::string& Hash, std::function<void()> Action) override;
    bool KeptTorrent(const std::string& Hash, const std::string& Name, std::string& Bytes) override;

    // A text of the window's own (translated already) on the status line.
    void showStatus(const QString& Text);
    // Runs what waited for the fetch of Hash to end.
    void fetchEnded(const std::string& Hash);

private:
    WindowHostParts m_Parts;
    KeptTorrents* m_Kept = nullptr;
    // What waits for the fetch of a hash to end (an added torrent's link to open).
    std::vector<std::pair<std::string, std::function<void()>>> m_AfterFetch;
};

} // namespace lintervale
