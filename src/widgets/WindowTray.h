#pragma once

// The window's icon in the notification area: hiding the window there, and bringing it back
// by a click on the icon or by "&Show" in its menu; "E&xit" in the menu ends the program.
// Where the desktop has no tray the window is minimised instead, never stranded.

#include <QObject>
#include <QStringList>

class QMenu;
class QSystemTrayIcon;
class QWidget;

namespace lintervale {

class WindowTray final : public QObject {
    Q_OBJECT
public:
    explicit WindowTray(QWidget& Window);

    // Whether the command line asks for a start hidden in the tray: "-hidden" as the first
    // argument, in any letter case.
    static bool startsHidden(const QStringList& Arguments);

    // Hides the window in the tray (or minimises it where there is no tray).
    void hideWindow();
    // The window comes forward, restored if minimised or hidden in the tray.
    void bringForward();

signals:
    // "E&xit" in the tray's menu.
    void exitRequested();

private:
    void activated(int Reason);

    QWidget& m_Window;
    QMenu* m_Menu = nullptr;
    QSystemTrayIcon* m_Icon = nullptr;
};

} // namespace lintervale
