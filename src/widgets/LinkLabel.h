#pragma once

// The link label LinkText: its text is an address. Hovering underlines it in the highlight
// colour, leaving restores it; a click, or Enter or Space while it has the focus, hands the
// address to the desktop. It takes the focus by Tab and by click and then shows a focus
// frame. Its colours are roles of the palette, so it follows a change of theme.

#include <QLabel>

namespace lintervale {

class LinkLabel final : public QLabel {
    Q_OBJECT
public:
    explicit LinkLabel(const QString& Address, QWidget* Parent = nullptr);

    bool hovered() const { return m_Hovered; }

signals:
    // The address was handed to the desktop.
    void opened();

protected:
    void enterEvent(QEnterEvent* Event) override;
    void leaveEvent(QEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;
    void keyPressEvent(QKeyEvent* Event) override;
    void paintEvent(QPaintEvent* Event) override;
    void focusInEvent(QFocusEvent* Event) override;
    void focusOutEvent(QFocusEvent* Event) override;

private:
    void setHovered(bool Hovered);
    void open();

    bool m_Hovered = false;
};

} // namespace lintervale
