#pragma once

// Type-ahead in the grid: letters typed in quick succession make one prefix, a pause starts a
// new one, and the answer is the next row whose name starts with the prefix.

#include "list/TorrentGrid.h"

#include <QElapsedTimer>
#include <QString>

namespace lintervale {

class TypeAhead final {
public:
    // Letters just typed: the row to go to, or 0 when no name starts with the prefix.
    int typed(const TTorrentGrid& Grid, const QString& Letters);

private:
    // The letters typed so far, and when the last came.
    QString m_Typed;
    QElapsedTimer m_LastTyped;
};

} // namespace lintervale
