#pragma once

// The five options, kept as 0/1 integers at the top level of the INI file
// $XDG_CONFIG_HOME/Lintervale/Lintervale.conf. Every read and write goes through the table
// below: its order is the order of reading and writing, its defaults are what a start that
// cannot read them writes.
//
// Beside them, the same file's top level names how contents are fetched from peers
// (FetchOptions, the "Fetching contents" dialog), and where fetched trackers come from: the
// tracker-search service (asked per hash; unused while its address is empty) and the public
// list of trackers used without a service. Reading a text writes nothing: one that is
// missing or empty gives its default. The "Tracker sources" dialog writes them.

#include "magnet/MagnetLink.h"

#include <QString>
#include <array>
#include <functional>

namespace lintervale {

// How the window fetches torrents' contents from peers.
struct FetchOptions {
    // The time a fetch may take, in seconds.
    int TimeLimitSeconds = 120;
    // Peers are also looked for in the distributed hash table.
    bool Dht = true;
    // The router is asked to forward the listening port (UPnP and NAT-PMP).
    bool PortMapping = false;
    // Every link that is pasted, dropped or handed over is fetched at once.
    bool FetchAddedLinks = false;
    // The user has read that fetching shows their address to peers, and went on.
    bool PrivacyAccepted = false;

    static constexpr int kMinTimeLimit = 1;
    static constexpr int kMaxTimeLimit = 24 * 60 * 60;
};

class SettingsStore {
public:
    enum Option { SaveOnExit, AutoOpen, QuietMode, CloseToTray, FetchExtra, OptionCount };

    struct Entry {
        const char* Name;
        bool Default;
    };
    static constexpr std::array<Entry, OptionCount> kOptions = {{{"SaveOnExit", false},
                                                                 {"AutoOpen", false},
                                                                 {"QuietMode", true},
                                                                 {"CloseToTray", false},
                                                                 {"FetchExtra", false}}};

    enum Text { TrackerServiceURL, TrackerServiceName, TrackerListURL, TextCount };

    static constexpr const char* kDefaultTrackerServiceURL = "";
    static constexpr const char* kDefaultTrackerServiceName = "";
    static constexpr const char* kDefaultTrackerListURL =
        "https://raw.githubusercontent.com/ngosang/trackerslist/master/trackers_best.txt";

    struct TextEntry {
        const char* Name;
        const char* Default;
    };
    static constexpr std::array<TextEntry, TextCount> kTexts = {
        {{"TrackerServiceURL", kDefaultTrackerServiceURL},
         {"TrackerServiceName", kDefaultTrackerServiceName},
         {"TrackerListURL", kDefaultTrackerListURL}}};

    // The settings file of this user.
    static QString defaultFileName();

    explicit SettingsStore(QString FileName = defaultFileName());

    // Reads the options in table order, handing each to Apply as soon as it is read. A value
    // that is missing or no number stops the reading; then every default is written and
    // quiet mode is handed over as ticked. Returns false in that case. When the defaults
    // cannot be written, *Failure (if given) gets the reason; otherwise it is emptied.
    bool load(const std::function<void(Option, bool)>& Apply, QString* Failure = nullptr) const;
    // Writes the five options in table order; returns false, and the reason in *Failure (if
    // given), when the file cannot be written.
    bool save(const std::array<bool, OptionCount>& Values, QString* Failure = nullptr) const;

    // Reads one text of the table above, or its default; writes nothing.
    QString text(Text Which) const;
    // Writes every text of the table above, in table order (an empty one stands for its
    // default); false, and the reason in *Failure (if given), when the file could not be
    // written.
    bool setTexts(const std::array<QString, TextCount>& Values, QString* Failure = nullptr) const;

    // What links hold (magnet/LinkSettings.h: the keys, their values and defaults).
    TLinkContents linkContents() const;
    bool setLinkContents(const TLinkContents& Contents, QString* Failure = nullptr) const;

    // Each value that is missing or out of range reads as its default.
    FetchOptions fetchOptions() const;
    bool setFetchOptions(const FetchOptions& Options, QString* Failure = nullptr) const;

private:
    QString m_FileName;
};

} // namespace lintervale
