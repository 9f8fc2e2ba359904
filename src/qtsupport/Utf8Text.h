#pragma once

// The one conversion between the core's text (UTF-8 bytes in std::string) and Qt's QString.
// A cell's bytes that are no valid UTF-8 show as replacement characters; they are never
// written back from the screen.

#include <QString>
#include <string>
#include <string_view>

namespace lintervale {

inline QString QStringOf(std::string_view Utf8) {
    return QString::fromUtf8(Utf8.data(), static_cast<qsizetype>(Utf8.size()));
}

inline std::string Utf8Of(const QString& Text) {
    return Text.toUtf8().toStdString();
}

} // namespace lintervale
