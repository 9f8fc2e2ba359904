#include "widgets/TypeAhead.h"

#include "list/ListFind.h"

#include <QApplication>

namespace lintervale {

int TypeAhead::typed(const TTorrentGrid& Grid, const QString& Letters) {
    if (Letters.isEmpty()) {
        return 0;
    }
    if (!m_LastTyped.isValid() || m_LastTyped.elapsed() > QApplication::keyboardInputInterval()) {
        m_Typed.clear();
    }
    m_LastTyped.start();
    m_Typed += Letters;
    // A longer prefix may still fit the current row; a first letter looks past it.
    const int current = Grid.Row();
    return FindNamePrefix(Grid, m_Typed.toStdString(),
                          m_Typed.size() > Letters.size() ? current - 1 : current);
}

} // namespace lintervale
