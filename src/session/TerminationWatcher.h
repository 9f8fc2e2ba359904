#pragma once

// Turns SIGTERM and SIGINT (a logout, a service manager, Ctrl+C in a terminal) into the
// window's own exit, so that the list and the options are saved as "Exit" saves them
// instead of being lost with the process.

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace lintervale {

class TerminationWatcher final : public QObject {
    Q_OBJECT
public:
    // Exit runs on the GUI thread after a signal arrives.
    explicit TerminationWatcher(std::function<void()> Exit, QObject* Parent = nullptr);
    ~TerminationWatcher() override;

private:
    std::function<void()> m_Exit;
    QSocketNotifier* m_Notifier = nullptr;
};

} // namespace lintervale
