#pragma once

// What the window tests share: the warnings of a machine without sound or window manager
// quieted (they bury the output), the resources, boxes answered by the test seam, and a main
// window whose files live in a folder of the test's.

#include "widgets/MainForm.h"
#include "widgets/MessageBoxes.h"

#include <QString>
#include <QTemporaryDir>
#include <QtGlobal>
#include <memory>

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

// A shown main window, first started, with its list, options and program file in Dir.
inline std::unique_ptr<MainForm> MakeWindow(const QTemporaryDir& Dir) {
    auto form = std::make_unique<MainForm>(MainFormPaths{Dir.filePath("Lintervale.dat"),
                                                         Dir.filePath("Lintervale.conf"),
                                                         Dir.filePath("lintervale")});
    form->initialize({});
    form->show();
    return form;
}

} // namespace lintervale::testing

// Call once, in initTestCase. (The resources are brought in by name, outside any namespace.)
inline void InitWindowTests() {
    Q_INIT_RESOURCE(lintervale);
    lintervale::testing::NextHandler() = qInstallMessageHandler(lintervale::testing::QuietHandler);
    lintervale::MessageBoxes::setTestMode(true);
}
