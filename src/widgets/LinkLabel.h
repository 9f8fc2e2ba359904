#pragma once

// The link label LinkText: its text is an address; hovering underlines it in the highlight
// colour, leaving restores it, a click hands the address to the desktop.

#include <QLabel>

namespace lintervale {

class LinkLabel final : public QLabel {
    Q_OBJECT
public:
    explicit LinkLabel(const QString& Address, QWidget* Parent = nullptr);

    bool hovered() const { return m_Hovered; }

protected:
    void enterEvent(QEnterEvent* Event) override;
    void leaveEvent(QEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;

private:
    void setHovered(bool Hovered);

    bool m_Hovered = false;
};

} // namespace lintervale
