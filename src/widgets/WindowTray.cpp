#include "widgets/WindowTray.h"

#include <QCoreApplication>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QWidget>

namespace lintervale {

namespace {

QString Text(const char* Source) {
    return QCoreApplication::translate("lintervale::MainForm", Source);
}

} // namespace

WindowTray::WindowTray(QWidget& Window) : QObject(&Window), m_Window(Window) {
    m_Menu = new QMenu(&Window);
    m_Menu->setObjectName("PopupMenu2");
    auto* show = m_Menu->addAction(Text(QT_TRANSLATE_NOOP("lintervale::MainForm", "&Show")),
                                   &Window, [this] { bringForward(); });
    show->setObjectName("Show1");
    m_Menu->setDefaultAction(show);
    m_Menu
        ->addAction(Text(QT_TRANSLATE_NOOP("lintervale::MainForm", "E&xit")), this,
                    &WindowTray::exitRequested)
        ->setObjectName("Exit1");

    m_Icon = new QSystemTrayIcon(Window.windowIcon(), this);
    m_Icon->setObjectName("TrayIcon1");
    m_Icon->setToolTip(QStringLiteral("Lintervale"));
    m_Icon->setContextMenu(m_Menu);
    connect(m_Icon, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason Reason) { activated(Reason); });
}

void WindowTray::hideWindow() {
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        m_Window.hide();
        m_Icon->show();
    } else {
        // Without a tray a hidden window could not be reached again.
        m_Window.showMinimized();
    }
}

void WindowTray::bringForward() {
    if (m_Window.isMinimized() || !m_Window.isVisible()) {
        m_Window.showNormal();
    }
    m_Window.raise();
    m_Window.activateWindow();
}

void WindowTray::activated(int Reason) {
    // One click shows the hidden window and hides the shown one; a double click shows it.
    if (Reason == QSystemTrayIcon::Trigger && m_Window.isVisible() && !m_Window.isMinimized()) {
        hideWindow();
    } else if (Reason == QSystemTrayIcon::Trigger || Reason == QSystemTrayIcon::DoubleClick) {
        bringForward();
    }
}

bool WindowTray::startsHidden(const QStringList& Arguments) {
    return !Arguments.isEmpty() && Arguments.first().toLower() == "-hidden";
}

} // namespace lintervale
