#pragma once

// The texts through which the program meets the desktop (freedesktop.org conventions): the
// Exec line of a desktop entry, the entries for starting at login and for opening .torrent
// files, and the default-application line of mimeapps.list. Pure text in, text out: the
// window reads and writes the files.

#include <string>
#include <string_view>

namespace lintervale {

inline constexpr std::string_view kTorrentMimeType = "application/x-bittorrent";
// The program's name on the desktop: the desktop entries' file name, the icon's name, the
// metainfo's id. The build reads it from here for the files it installs.
inline constexpr std::string_view kApplicationId = "org.lintervale.Lintervale";
inline constexpr std::string_view kDesktopId = "org.lintervale.Lintervale.desktop";
static_assert(kDesktopId.substr(0, kApplicationId.size()) == kApplicationId &&
              kDesktopId.substr(kApplicationId.size()) == ".desktop");

// One Exec argument, quoted as freedesktop.org's desktop entry rules ask (in double quotes,
// with a backslash before each double quote, backquote, dollar sign and backslash, and %
// doubled), then escaped as a string value (every backslash doubled).
std::string ExecArgument(std::string_view Argument);

// The Exec values the program writes: the quoted program path, then -hidden or %F (every
// file opened at once goes to one start).
std::string AutostartExec(std::string_view ProgramPath);
std::string OpenWithExec(std::string_view ProgramPath);

// The program an Exec value runs: its first argument, unquoted and unescaped (ExecArgument
// undone), as written (a bare name is looked up in PATH by the desktop).
std::string ExecProgram(std::string_view Exec);

std::string AutostartEntry(std::string_view ProgramPath);
std::string OpenWithEntry(std::string_view ProgramPath, std::string_view IconName);

// The value of Key in the [Desktop Entry] group, or nothing (std::string::npos pos) when
// absent; Found tells which.
std::string DesktopEntryValue(std::string_view Text, std::string_view Key, bool* Found);

// mimeapps.list: whether Id is the first default application of MimeType; the text with Id
// put first in that line (the [Default Applications] group and the line are made when
// missing); the text with Id taken out of that line (the line goes when nothing is left).
// Every other line stays byte for byte as it was.
bool DefaultApplicationIs(std::string_view Text, std::string_view MimeType, std::string_view Id);
std::string WithDefaultApplication(std::string_view Text, std::string_view MimeType,
                                   std::string_view Id);
std::string WithoutDefaultApplication(std::string_view Text, std::string_view MimeType,
                                      std::string_view Id);

} // namespace lintervale
