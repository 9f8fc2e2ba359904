#pragma once

// The window's option boxes and where they live: the stored options in the options' file,
// written as soon as one changes, and the two boxes that stand for the desktop's files
// ("Start at login", "Associate with torrents"), which only the user's clicks change.

#include "session/SettingsStore.h"

#include <QObject>
#include <QString>
#include <array>
#include <functional>

class QCheckBox;
class QWidget;

namespace lintervale {

struct OptionBoxes {
    QCheckBox* SaveOnExit = nullptr;
    QCheckBox* AutoOpen = nullptr;
    QCheckBox* QuietMode = nullptr;
    QCheckBox* CloseToTray = nullptr;
    QCheckBox* FetchExtra = nullptr;
    QCheckBox* StartAtLogin = nullptr;
    QCheckBox* AssociateTorrents = nullptr;
};

class WindowOptions final : public QObject {
    Q_OBJECT
public:
    // Status: the status line. The boxes' failures are told in boxes over Window.
    WindowOptions(OptionBoxes Boxes, QString SettingsFile, QString ProgramPath,
                  std::function<void(const QString&)> Status, QWidget* Window);

    // Sets the boxes as stored and as the desktop has it; from now on each change is written.
    void load();
    // Writes the stored options (at close).
    void save();

private:
    // The boxes of the stored options, in the order of SettingsStore::kOptions.
    std::array<QCheckBox*, SettingsStore::OptionCount> stored() const;
    void reportFailure(const QString& Failure);
    void shellOptionClicked(QCheckBox* Box, bool On);

    OptionBoxes m_Boxes;
    QString m_SettingsFile;
    QString m_ProgramPath;
    std::function<void(const QString&)> m_Status;
    QWidget* m_Window;
};

} // namespace lintervale
