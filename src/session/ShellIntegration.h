#pragma once

// Starting at login and opening .torrent files, as freedesktop.org desktops do them; every file
// is named by the program's application id (kApplicationId):
// - start at login: $XDG_CONFIG_HOME/autostart/<id>.desktop running the program with -hidden;
// - open .torrent files: the desktop entry <id>.desktop made the first default application of
//   the application/x-bittorrent type in $XDG_CONFIG_HOME/mimeapps.list. An installed entry
//   of that id (in $XDG_DATA_DIRS) that runs this very program is the one used; otherwise
//   (a build folder, a copy elsewhere) the program writes its own entry, which runs it by its
//   path, to $XDG_DATA_HOME/applications with its icon. Either way the desktop knows one
//   entry of that id, so "Open with" lists the program once.
// Each is "on" only when it points at this very program file. Turning the association off
// takes out only what this program wrote; every other program's entries stay as they were.
// A change that cannot be made all through says why: the setters return false and give the
// reasons (one line for each file) in *Failure.

#include <QIcon>
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
    // The installed entry of the program's id that runs this very program, or nothing.
    QString installedDesktopFile() const;

    // The program's icon: the desktop theme's icon of the application id, or the bundled
    // pictures where the theme has none.
    static QIcon programIcon();

private:
    bool runsThisProgram(const QString& EntryFile) const;

    QString m_ProgramPath;
};

} // namespace lintervale
