#include "widgets/LinkLabel.h"

#include <QDesktopServices>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyleOptionFocusRect>
#include <QStylePainter>
#include <QUrl>

namespace lintervale {

LinkLabel::LinkLabel(const QString& Address, QWidget* Parent) : QLabel(Address, Parent) {
    setObjectName("LinkText");
    setTextFormat(Qt::PlainText);
    setCursor(Qt::PointingHandCursor);
    setAlignment(Qt::AlignCenter);
    setFocusPolicy(Qt::StrongFocus);
    // Room for the focus frame around the text.
    setMargin(2);
    setAccessibleName(tr("Maker's web page"));
    setAccessibleDescription(tr("Opens %1 in the web browser.").arg(Address));
    setHovered(false);
}

void LinkLabel::setHovered(bool Hovered) {
    m_Hovered = Hovered;
    QFont shown = font();
    shown.setUnderline(Hovered);
    setFont(shown);
    // A role, not a colour: the text follows the palette when the theme changes.
    setForegroundRole(Hovered ? QPalette::Highlight : QPalette::ButtonText);
}

void LinkLabel::open() {
    QDesktopServices::openUrl(QUrl::fromUserInput(text()));
    emit opened();
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
        open();
    }
    QLabel::mouseReleaseEvent(Event);
}

void LinkLabel::keyPressEvent(QKeyEvent* Event) {
    const int key = Event->key();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) &&
        (Event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        open();
        Event->accept();
        return;
    }
    QLabel::keyPressEvent(Event);
}

void LinkLabel::paintEvent(QPaintEvent* Event) {
    QLabel::paintEvent(Event);
    if (!hasFocus()) {
        return;
    }
    QStylePainter painter(this);
    QStyleOptionFocusRect frame;
    frame.initFrom(this);
    frame.backgroundColor = palette().color(backgroundRole());
    painter.drawPrimitive(QStyle::PE_FrameFocusRect, frame);
}

void LinkLabel::focusInEvent(QFocusEvent* Event) {
    QLabel::focusInEvent(Event);
    update();
}

void LinkLabel::focusOutEvent(QFocusEvent* Event) {
    QLabel::focusOutEvent(Event);
    update();
}

} // namespace lintervale
