#include "qtsupport/DisplayText.h"

#include <QTextDocument>

namespace lintervale {

namespace {

// Unicode's abbreviation of a bidirectional control character, or null for any other.
const char* MarkOf(char16_t c) {
    switch (c) {
    case 0x061C:
        return "ALM";
    case 0x200E:
        return "LRM";
    case 0x200F:
        return "RLM";
    case 0x202A:
        return "LRE";
    case 0x202B:
        return "RLE";
    case 0x202C:
        return "PDF";
    case 0x202D:
        return "LRO";
    case 0x202E:
        return "RLO";
    case 0x2066:
        return "LRI";
    case 0x2067:
        return "RLI";
    case 0x2068:
        return "FSI";
    case 0x2069:
        return "PDI";
    default:
        return nullptr;
    }
}

} // namespace

QString DisplayText(const QString& Text) {
    // Every such character lies in the Basic Multilingual Plane: one UTF-16 unit each, never
    // half of a surrogate pair.
    qsizetype first = 0;
    while (first < Text.size() && MarkOf(Text[first].unicode()) == nullptr) {
        ++first;
    }
    if (first == Text.size()) {
        return Text;
    }
    QString shown = Text.left(first);
    for (qsizetype i = first; i < Text.size(); ++i) {
        if (const char* mark = MarkOf(Text[i].unicode())) {
            shown += u'[';
            shown += QLatin1StringView(mark);
            shown += u']';
        } else {
            shown += Text[i];
        }
    }
    return shown;
}

QString ToolTipText(const QString& Text) {
    const QString shown = DisplayText(Text);
    return Qt::mightBeRichText(shown) ? Qt::convertFromPlainText(shown, Qt::WhiteSpacePre) : shown;
}

} // namespace lintervale
