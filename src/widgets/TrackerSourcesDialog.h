#pragma once

// The "Tracker sources" dialog: where fetched trackers come from. It edits the address and
// the name of the tracker-search service and the address of the public list of trackers
// used while no service address is set. Only http and https addresses are accepted: OK
// with another address names the field's problem in a box and keeps the dialog open.

#include <QDialog>
#include <QString>

class QLineEdit;

namespace lintervale {

class TListHost;
class TrackerFetcher;

struct TrackerSources {
    QString ServiceUrl;  // empty: no service, the list is used
    QString ServiceName; // empty: the service address's host
    QString ListUrl;     // empty: the default list
};

// In English; the dialog shows them translated.
inline constexpr const char* kBadServiceAddressText =
    QT_TRANSLATE_NOOP("lintervale::TrackerSourcesDialog",
                      "The service address must start with http:// or https:// and name a host.");
inline constexpr const char* kBadListAddressText = QT_TRANSLATE_NOOP(
    "lintervale::TrackerSourcesDialog",
    "The tracker list address must start with http:// or https:// and name a host.");
inline constexpr const char* kSourcesNotSavedText = QT_TRANSLATE_NOOP(
    "lintervale::TrackerSourcesDialog",
    "The tracker sources could not be saved in %1. They hold until Lintervale ends.");

class TrackerSourcesDialog final : public QDialog {
    Q_OBJECT
public:
    explicit TrackerSourcesDialog(QWidget* Parent = nullptr);

    void setSources(const TrackerSources& Sources);
    // The fields' texts, trimmed.
    TrackerSources sources() const;

    // Closes with the sources accepted when both addresses are empty or http(s) addresses.
    void accept() override;

private:
    QLineEdit* m_ServiceUrl = nullptr;
    QLineEdit* m_ServiceName = nullptr;
    QLineEdit* m_ListUrl = nullptr;
};

// Opens the dialog window-modal on the fetcher's sources and returns at once. Accepted, the
// sources go to the fetcher (so the menu caption follows) and into the settings file; a
// failed write is named on the status line and, unless quiet mode, in an error box.
void openTrackerSources(QWidget* Parent, TrackerFetcher& Fetcher, const QString& SettingsFile,
                        TListHost& Host);

} // namespace lintervale
