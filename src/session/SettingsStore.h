#pragma once

// The five options, kept as 0/1 integers at the top level of the INI file
// $XDG_CONFIG_HOME/Lintervale/Lintervale.conf. Every read and write goes through the table
// below: its order is the order of reading and writing, its defaults are what a start that
// cannot read them writes.
//
// Beside them, the same file's top level may name the tracker-search service. Those texts
// are only read: each one that is missing or empty gives its default, and nothing is written.

#include <QString>
#include <array>
#include <functional>

namespace lintervale {

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

    enum Text { TrackerServiceURL, TrackerServiceName, TextCount };

    static constexpr const char* kDefaultTrackerServiceURL = "https://trackers.example.org";
    static constexpr const char* kDefaultTrackerServiceName = "trackers.example.org";

    struct TextEntry {
        const char* Name;
        const char* Default;
    };
    static constexpr std::array<TextEntry, TextCount> kTexts = {
        {{"TrackerServiceURL", kDefaultTrackerServiceURL},
         {"TrackerServiceName", kDefaultTrackerServiceName}}};

    // The settings file of this user.
    static QString defaultFileName();

    explicit SettingsStore(QString FileName = defaultFileName());

    // Reads the options in table order, handing each to Apply as soon as it is read. A value
    // that is missing or no number stops the reading; then every default is written and
    // quiet mode is handed over as ticked. Returns false in that case.
    bool load(const std::function<void(Option, bool)>& Apply) const;
    // Writes the five options in table order.
    void save(const std::array<bool, OptionCount>& Values) const;

    // Reads one text of the table above, or its default; writes nothing.
    QString text(Text Which) const;

private:
    QString m_FileName;
};

} // namespace lintervale
