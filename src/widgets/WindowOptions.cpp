#include "widgets/WindowOptions.h"

#include "session/ShellIntegration.h"
#include "widgets/MessageBoxes.h"

#include <QCheckBox>
#include <QCoreApplication>

namespace lintervale {

WindowOptions::WindowOptions(OptionBoxes Boxes, QString SettingsFile, QString ProgramPath,
                             std::function<void(const QString&)> Status, QWidget* Window)
    : QObject(Window), m_Boxes(Boxes), m_SettingsFile(std::move(SettingsFile)),
      m_ProgramPath(std::move(ProgramPath)), m_Status(std::move(Status)), m_Window(Window) {}

std::array<QCheckBox*, SettingsStore::OptionCount> WindowOptions::stored() const {
    return {m_Boxes.SaveOnExit, m_Boxes.AutoOpen, m_Boxes.QuietMode, m_Boxes.CloseToTray,
            m_Boxes.FetchExtra};
}

void WindowOptions::load() {
    const ShellIntegration shell(m_ProgramPath);
    m_Boxes.StartAtLogin->setChecked(shell.startsAtLogin());
    QString failure;
    SettingsStore(m_SettingsFile)
        .load([this](SettingsStore::Option Option, bool On) { stored()[Option]->setChecked(On); },
              &failure);
    m_Boxes.AssociateTorrents->setChecked(shell.opensTorrents());
    // Only the user's own clicks change the desktop's files; the state read above does not.
    for (QCheckBox* box : {m_Boxes.StartAtLogin, m_Boxes.AssociateTorrents}) {
        connect(box, &QCheckBox::clicked, this,
                [this, box](bool On) { shellOptionClicked(box, On); });
    }
    reportFailure(failure);
    // Each option is written as soon as it changes, so that a run that ends without closing
    // (a crash, a power cut) still starts the next time as the user left it.
    for (QCheckBox* box : stored()) {
        connect(box, &QCheckBox::toggled, this, &WindowOptions::save);
    }
}

void WindowOptions::save() {
    std::array<bool, SettingsStore::OptionCount> values{};
    const auto boxes = stored();
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        values[i] = boxes[i]->isChecked();
    }
    QString failure;
    SettingsStore(m_SettingsFile).save(values, &failure);
    reportFailure(failure);
}

void WindowOptions::reportFailure(const QString& Failure) {
    if (Failure.isEmpty()) {
        return;
    }
    // The options matter at the next start whatever quiet mode says: always a box.
    m_Status(Failure);
    MessageBoxes::error(m_Window, Failure + "\n\n" +
                                      QCoreApplication::translate("lintervale::MainForm",
                                                                  "The options were not saved."));
}

void WindowOptions::shellOptionClicked(QCheckBox* Box, bool On) {
    const ShellIntegration shell(m_ProgramPath);
    const bool login = Box == m_Boxes.StartAtLogin;
    QString failure;
    if (login ? shell.setStartAtLogin(On, &failure) : shell.setOpensTorrents(On, &failure)) {
        return;
    }
    // The box shows what is so, not what was asked for.
    Box->setChecked(login ? shell.startsAtLogin() : shell.opensTorrents());
    m_Status(failure);
    if (!m_Boxes.QuietMode->isChecked()) {
        MessageBoxes::error(m_Window, failure);
    }
}

} // namespace lintervale
