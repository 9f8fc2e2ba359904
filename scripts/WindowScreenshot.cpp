// Makes a picture of the main window for docs/, as scripts/screenshot.sh runs it under Xvfb:
// the window with the torrents named, its second row selected, in the language the
// environment chooses (LANGUAGE) and at its scale (QT_SCALE_FACTOR); on request with a font
// of another size, with a dark Fusion palette, and with the grid's context menu open. The
// list and the options live in a temporary folder.
//
// Usage: window_screenshot OUTPUT.png [--points N] [--dark] [--menu] TORRENT...

#include "widgets/MainForm.h"
#include "widgets/MessageBoxes.h"
#include "widgets/Translations.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLocale>
#include <QMenu>
#include <QPixmap>
#include <QScreen>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

namespace {

// A dark palette for the Fusion style, as dark themes of the desktops set it.
QPalette DarkPalette() {
    QPalette dark;
    const QColor window(49, 54, 59), base(35, 38, 41), text(239, 240, 241);
    const QColor disabled(127, 140, 141), highlight(61, 174, 233);
    dark.setColor(QPalette::Window, window);
    dark.setColor(QPalette::WindowText, text);
    dark.setColor(QPalette::Base, base);
    dark.setColor(QPalette::AlternateBase, window);
    dark.setColor(QPalette::ToolTipBase, base);
    dark.setColor(QPalette::ToolTipText, text);
    dark.setColor(QPalette::PlaceholderText, disabled);
    dark.setColor(QPalette::Text, text);
    dark.setColor(QPalette::Button, window);
    dark.setColor(QPalette::ButtonText, text);
    dark.setColor(QPalette::BrightText, Qt::red);
    dark.setColor(QPalette::Link, highlight);
    dark.setColor(QPalette::Highlight, highlight);
    dark.setColor(QPalette::HighlightedText, base);
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        dark.setColor(QPalette::Disabled, role, disabled);
    }
    return dark;
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    Q_INIT_RESOURCE(lintervale);
    QStringList arguments = QApplication::arguments().mid(1);
    if (arguments.isEmpty()) {
        std::fprintf(stderr, "usage: window_screenshot OUTPUT.png [--points N] [--dark] "
                             "[--menu] TORRENT...\n");
        return 2;
    }
    const QString output = arguments.takeFirst();
    bool dark = false;
    bool menu = false;
    QStringList torrents;
    while (!arguments.isEmpty()) {
        const QString word = arguments.takeFirst();
        if (word == "--points" && !arguments.isEmpty()) {
            QFont font = QApplication::font();
            font.setPointSize(arguments.takeFirst().toInt());
            QApplication::setFont(font);
        } else if (word == "--dark") {
            dark = true;
        } else if (word == "--menu") {
            menu = true;
        } else {
            torrents.append(word);
        }
    }
    if (dark) {
        QApplication::setStyle(QStyleFactory::create("Fusion"));
        QApplication::setPalette(DarkPalette());
    }
    lintervale::installTranslations(QLocale());
    lintervale::MessageBoxes::setTestMode(true);

    const QTemporaryDir folder;
    lintervale::MainForm form({folder.filePath("Lintervale.dat"),
                               folder.filePath("Lintervale.conf"), folder.filePath("lintervale")});
    form.initialize(torrents);
    form.show();
    const auto take = [&] {
        QRect area = form.frameGeometry();
        auto* grid = form.findChild<QWidget*>("StringGrid1");
        auto* popup = form.findChild<QMenu*>("PopupMenu1");
        if (menu) {
            grid->setFocus();
            QKeyEvent key(QEvent::KeyPress, Qt::Key_Menu, Qt::NoModifier);
            QApplication::sendEvent(grid, &key);
        }
        // The menu paints before the picture is taken.
        QTimer::singleShot(500, &form, [&, popup, area]() mutable {
            if (popup->isVisible()) {
                area |= popup->geometry();
            }
            const QPixmap shot =
                form.screen()->grabWindow(0, area.x(), area.y(), area.width(), area.height());
            QApplication::exit(shot.save(output) ? 0 : 1);
        });
    };
    const auto ready = [&] {
        form.List().MouseSelect(std::min(2, form.List().Grid().RowCount() - 1), false);
        // The window settles at its size and paints before it is taken.
        QTimer::singleShot(1000, &form, take);
    };
    if (form.adding()) {
        QObject::connect(&form, &lintervale::MainForm::addsFinished, &form, ready);
    } else {
        ready();
    }
    return QApplication::exec();
}
