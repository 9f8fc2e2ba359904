#include "widgets/LinkLabel.h"

#include <QDesktopServices>
#include <QMouseEvent>
#include <QUrl>

namespace lintervale {

LinkLabel::LinkLabel(const QString& Address, QWidget* Parent) : QLabel(Address, Parent) {
    setObjectName("LinkText");
    setCursor(Qt::PointingHandCursor);
    setAlignment(Qt::AlignCenter);
    setFocusPolicy(Qt::NoFocus);
    setHovered(false);
}

void LinkLabel::setHovered(bool Hovered) {
    m_Hovered = Hovered;
    QFont shown = font();
    shown.setUnderline(Hovered);
    setFont(shown);
    QPalette colours = palette();
    colours.setColor(
        QPalette::WindowText,
        QWidget::palette().color(Hovered ? QPalette::Highlight : QPalette::ButtonText));
    setPalette(colours);
}

void LinkLabel::enterEvent(QEnterEvent* Event) {
    setHovered(true);
    QLabel::enterEvent(Event);
}

void LinkLabel::leaveEvent(QEvent* Event) {
    setHovered(false);
    QLabel::leaveEvent(Event);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* Event) {
    if (Event->button() == Qt::LeftButton && rect().contains(Event->position().toPoint())) {
        QDesktopServices::openUrl(QUrl::fromUserInput(text()));
    }
    QLabel::mouseReleaseEvent(Event);
}

} // namespace lintervale
