#pragma once

// The "Fetching contents" dialog: how long a fetch may take, whether peers are looked for in
// the DHT, whether the router is asked to forward a port, and whether added links are fetched
// at once.

#include "session/SettingsStore.h"

#include <QDialog>

class QCheckBox;
class QSpinBox;

namespace lintervale {

class FetchSettingsDialog final : public QDialog {
    Q_OBJECT
public:
    explicit FetchSettingsDialog(const FetchOptions& Options, QWidget* Parent = nullptr);

    // The options as the dialog shows them; what it does not show is kept as given.
    FetchOptions options() const;

private:
    FetchOptions m_Options;
    QSpinBox* m_TimeLimit = nullptr;
    QCheckBox* m_Dht = nullptr;
    QCheckBox* m_PortMapping = nullptr;
    QCheckBox* m_FetchAdded = nullptr;
};

} // namespace lintervale
