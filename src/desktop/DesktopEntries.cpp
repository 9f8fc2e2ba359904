#include "desktop/DesktopEntries.h"

#include <vector>

namespace lintervale {

namespace {

constexpr std::string_view kDefaultGroup = "[Default Applications]";

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
        text.remove_suffix(1);
    }
    return text;
}

// The text as lines, each with its own line end, so that joining them gives the text back.
std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::size_t length = end == std::string_view::npos ? text.size() : end + 1;
        lines.push_back(text.substr(0, length));
        text.remove_prefix(length);
    }
    return lines;
}

std::string_view Content(std::string_view line) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
        line.remove_suffix(1);
    }
    return line;
}

bool IsGroup(std::string_view line) {
    const std::string_view content = Trim(Content(line));
    return !content.empty() && content.front() == '[';
}

// The key of a "key=value" line, trimmed; empty for other lines.
std::string_view KeyOf(std::string_view line) {
    const std::string_view content = Content(line);
    const std::size_t equals = content.find('=');
    return equals == std::string_view::npos ? std::string_view() : Trim(content.substr(0, equals));
}

std::string_view ValueOf(std::string_view line) {
    const std::string_view content = Content(line);
    return Trim(content.substr(content.find('=') + 1));
}

std::vector<std::string_view> Ids(std::string_view value) {
    std::vector<std::string_view> ids;
    while (!value.empty()) {
        const std::size_t semicolon = value.find(';');
        const std::string_view id = Trim(value.substr(0, semicolon));
        if (!id.empty()) {
            ids.push_back(id);
        }
        if (semicolon == std::string_view::npos) {
            break;
        }
        value.remove_prefix(semicolon + 1);
    }
    return ids;
}

// Where the MimeType line of the default group is: its index, or the index a new one goes
// to (with Found false); GroupFound tells whether the group exists.
struct TPlace {
    std::size_t Index = 0;
    bool Found = false;
    bool GroupFound = false;
};

TPlace FindDefault(const std::vector<std::string_view>& lines, std::string_view mimeType) {
    TPlace place;
    bool inGroup = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (IsGroup(lines[i])) {
            if (inGroup) {
                return place; // end of the group: a new line would go here
            }
            inGroup = Trim(Content(lines[i])) == kDefaultGroup;
            if (inGroup) {
                place.GroupFound = true;
                place.Index = i + 1;
            }
            continue;
        }
        if (inGroup) {
            if (KeyOf(lines[i]) == mimeType) {
                place.Index = i;
                place.Found = true;
                return place;
            }
            if (!Trim(Content(lines[i])).empty()) {
                place.Index = i + 1;
            }
        }
    }
    return place;
}

std::string LineEnd(std::string_view line) {
    if (line.size() >= 2 && line.substr(line.size() - 2) == "\r\n") {
        return "\r\n";
    }
    return "\n";
}

std::string Join(const std::vector<std::string_view>& lines) {
    std::string text;
    for (const std::string_view line : lines) {
        text += line;
    }
    return text;
}

} // namespace

std::string ExecArgument(std::string_view Argument) {
    std::string quoted = "\"";
    for (const char c : Argument) {
        switch (c) {
        case '"':
        case '`':
        case '$':
            quoted += "\\\\";
            quoted += c;
            break;
        case '\\':
            quoted += "\\\\\\\\";
            break;
        case '%':
            quoted += "%%";
            break;
        default:
            quoted += c;
        }
    }
    quoted += '"';
    return quoted;
}

std::string AutostartExec(std::string_view ProgramPath) {
    return ExecArgument(ProgramPath) + " -hidden";
}

std::string OpenWithExec(std::string_view ProgramPath) {
    return ExecArgument(ProgramPath) + " %F";
}

std::string ExecProgram(std::string_view Exec) {
    // First the string value's escapes, then the Exec key's quoting, then the field code %%.
    std::string command;
    for (std::size_t i = 0; i < Exec.size(); ++i) {
        const char next = i + 1 < Exec.size() ? Exec[i + 1] : '\0';
        if (Exec[i] != '\\' || next == '\0') {
            command += Exec[i];
            continue;
        }
        ++i;
        command += next == 's'   ? ' '
                   : next == 't' ? '\t'
                   : next == 'n' ? '\n'
                   : next == 'r' ? '\r'
                                 : next;
    }
    std::size_t i = command.find_first_not_of(' ');
    std::string program;
    if (i != std::string::npos && command[i] == '"') {
        for (++i; i < command.size() && command[i] != '"'; ++i) {
            if (command[i] == '\\' && i + 1 < command.size()) {
                ++i;
            }
            program += command[i];
        }
    } else if (i != std::string::npos) {
        program = command.substr(i, command.find(' ', i) - i);
    }
    for (std::size_t percent = program.find("%%"); percent != std::string::npos;
         percent = program.find("%%", percent + 1)) {
        program.erase(percent, 1);
    }
    return program;
}

std::string AutostartEntry(std::string_view ProgramPath) {
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Lintervale\n"
           "Comment=Turns .torrent files into magnet links\n"
           "Comment[de]=Macht aus .torrent-Dateien Magnet-Links\n"
           "Exec=" +
           AutostartExec(ProgramPath) +
           "\n"
           "Terminal=false\n"
           "X-GNOME-Autostart-enabled=true\n";
}

std::string OpenWithEntry(std::string_view ProgramPath, std::string_view IconName) {
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Lintervale\n"
           "GenericName=Magnet link maker\n"
           "GenericName[de]=Magnet-Link-Ersteller\n"
           "Comment=Turns .torrent files into magnet links\n"
           "Comment[de]=Macht aus .torrent-Dateien Magnet-Links\n"
           "Exec=" +
           OpenWithExec(ProgramPath) +
           "\n"
           "Icon=" +
           std::string(IconName) +
           "\n"
           "MimeType=" +
           std::string(kTorrentMimeType) +
           ";\n"
           "Terminal=false\n"
           "Categories=Network;FileTransfer;P2P;\n"
           "Keywords=magnet;torrent;BitTorrent;link;\n"
           "StartupNotify=true\n"
           // The class X11 gives the window, by which docks match it to this entry.
           "StartupWMClass=Lintervale\n";
}

std::string DesktopEntryValue(std::string_view Text, std::string_view Key, bool* Found) {
    bool inEntry = false;
    for (const std::string_view line : Lines(Text)) {
        if (IsGroup(line)) {
            inEntry = Trim(Content(line)) == "[Desktop Entry]";
            continue;
        }
        if (inEntry && KeyOf(line) == Key) {
            *Found = true;
            return std::string(ValueOf(line));
        }
    }
    *Found = false;
    return {};
}

bool DefaultApplicationIs(std::string_view Text, std::string_view MimeType, std::string_view Id) {
    const std::vector<std::string_view> lines = Lines(Text);
    const TPlace place = FindDefault(lines, MimeType);
    if (!place.Found) {
        return false;
    }
    const std::vector<std::string_view> ids = Ids(ValueOf(lines[place.Index]));
    return !ids.empty() && ids.front() == Id;
}

std::string WithDefaultApplication(std::string_view Text, std::string_view MimeType,
                                   std::string_view Id) {
    std::vector<std::string_view> lines = Lines(Text);
    const TPlace place = FindDefault(lines, MimeType);
    std::string newLine;
    std::string group;
    if (place.Found) {
        std::string value = std::string(Id) + ";";
        for (const std::string_view id : Ids(ValueOf(lines[place.Index]))) {
            if (id != Id) {
                value += std::string(id) + ";";
            }
        }
        newLine = std::string(MimeType) + "=" + value + LineEnd(lines[place.Index]);
        lines[place.Index] = newLine;
        return Join(lines);
    }
    std::string text = std::string(Text);
    if (!text.empty() && text.back() != '\n') {
        text += '\n';
    }
    lines = Lines(text);
    newLine = std::string(MimeType) + "=" + std::string(Id) + ";\n";
    if (place.GroupFound) {
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(place.Index), newLine);
        return Join(lines);
    }
    group = std::string(kDefaultGroup) + "\n";
    lines.push_back(group);
    lines.push_back(newLine);
    return Join(lines);
}

std::string WithoutDefaultApplication(std::string_view Text, std::string_view MimeType,
                                      std::string_view Id) {
    std::vector<std::string_view> lines = Lines(Text);
    const TPlace place = FindDefault(lines, MimeType);
    if (!place.Found) {
        return std::string(Text);
    }
    const std::vector<std::string_view> ids = Ids(ValueOf(lines[place.Index]));
    std::string value;
    bool ours = false;
    for (const std::string_view id : ids) {
        if (id == Id) {
            ours = true;
        } else {
            value += std::string(id) + ";";
        }
    }
    if (!ours) {
        return std::string(Text);
    }
    const std::string newLine = std::string(MimeType) + "=" + value + LineEnd(lines[place.Index]);
    if (value.empty()) {
        lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(place.Index));
    } else {
        lines[place.Index] = newLine;
    }
    return Join(lines);
}

} // namespace lintervale
