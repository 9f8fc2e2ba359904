#pragma once

// Starting at login and opening .torrent files, as freedesktop.org desktops do them:
// - start at login: $XDG_CONFIG_HOME/autostart/lintervale.desktop running the program with
//   -hidden;
// - open .torrent files: $XDG_DATA_HOME/applications/lintervale.desktop for the
//   application/x-bittorrent type, its icon, and this entry put first in that type's line of
//   the default applications in $XDG_CONFIG_HOME/mimeapps.list.
// Each is "on" only when it points at this very program file. Turning the association off
// takes out only what this program wrote; every other program's entries stay as they were.
// A change that cannot be made all through says why: the setters return false and give the
// reasons (one line for each file) in *Failure.

#include <QString>

namespace lintervale {

class ShellIntegration {
public:
    explicit ShellIntegration(QString ProgramPath);

    bool startsAtLogin() const;
    bool setStartAtLogin(bool On, QString* Failure = nullptr) const;

    bool opensTorrents() const;
    bool setOpensTorrents(bool On, QString* Failure = nullptr) const;

    QString autostartFile() const;
    QString desktopFile() const;
    QString iconFile() const;
    QString mimeAppsFile() const;

private:
    QString m_ProgramPath;
};

} // namespace lintervale
