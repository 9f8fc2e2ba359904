#pragma once

// Drops the warnings of a machine without sound or window manager, which bury the output of
// window tests; every other message goes on to the handler before.

#include <QString>
#include <QtGlobal>

namespace lintervale::testing {

inline QtMessageHandler& NextHandler() {
    static QtMessageHandler next = nullptr;
    return next;
}

inline void QuietHandler(QtMsgType Type, const QMessageLogContext& Context, const QString& Text) {
    for (const char* known : {"No audio device", "PulseAudioService", "does not support raise"}) {
        if (Text.contains(QLatin1String(known))) {
            return;
        }
    }
    NextHandler()(Type, Context, Text);
}

// Call once, in initTestCase.
inline void QuietKnownWarnings() {
    NextHandler() = qInstallMessageHandler(QuietHandler);
}

} // namespace lintervale::testing
