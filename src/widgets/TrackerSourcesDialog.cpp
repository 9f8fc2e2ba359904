#include "widgets/TrackerSourcesDialog.h"

#include "list/ListHost.h"
#include "network/TrackerFetcher.h"
#include "qtsupport/Utf8Text.h"
#include "session/SettingsStore.h"
#include "widgets/MessageBoxes.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QUrl>
#include <QVBoxLayout>

namespace lintervale {

TrackerSourcesDialog::TrackerSourcesDialog(QWidget* Parent) : QDialog(Parent) {
    setObjectName("TrackerSourcesDialog");
    setWindowTitle(tr("Tracker sources"));

    m_ServiceUrl = new QLineEdit;
    m_ServiceUrl->setObjectName("ServiceURLEdit");
    m_ServiceUrl->setPlaceholderText(tr("none: the tracker list is used"));
    m_ServiceUrl->setAccessibleName(tr("Service address"));
    m_ServiceUrl->setAccessibleDescription(
        tr("The base address of a tracker-search service, asked for each torrent's hash."));
    m_ServiceName = new QLineEdit;
    m_ServiceName->setObjectName("ServiceNameEdit");
    m_ServiceName->setPlaceholderText(tr("the address's host"));
    m_ServiceName->setAccessibleName(tr("Service name"));
    m_ServiceName->setAccessibleDescription(tr("The name the menu gives the service."));
    m_ListUrl = new QLineEdit;
    m_ListUrl->setObjectName("ListURLEdit");
    m_ListUrl->setPlaceholderText(SettingsStore::kDefaultTrackerListURL);
    m_ListUrl->setAccessibleName(tr("Tracker list address"));
    m_ListUrl->setAccessibleDescription(
        tr("The address of a public list of trackers, used while no service is set."));
    // Room for the default list's address.
    const int fieldWidth =
        m_ListUrl->fontMetrics().horizontalAdvance(SettingsStore::kDefaultTrackerListURL) +
        m_ListUrl->fontMetrics().averageCharWidth() * 4;
    for (QLineEdit* edit : {m_ServiceUrl, m_ServiceName, m_ListUrl}) {
        edit->setMinimumWidth(fieldWidth);
    }

    auto* explanation =
        new QLabel(tr("A tracker-search service is asked for each torrent's hash. Without a "
                      "service address, trackers come from the tracker list, fetched once while "
                      "Lintervale runs."));
    explanation->setWordWrap(true);

    auto* form = new QFormLayout;
    form->addRow(tr("Service &address:"), m_ServiceUrl);
    form->addRow(tr("Service &name:"), m_ServiceName);
    form->addRow(tr("Tracker &list address:"), m_ListUrl);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->setObjectName("Buttons");
    connect(buttons, &QDialogButtonBox::accepted, this, &TrackerSourcesDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TrackerSourcesDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(explanation);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

void TrackerSourcesDialog::setSources(const TrackerSources& Sources) {
    m_ServiceUrl->setText(Sources.ServiceUrl);
    m_ServiceName->setText(Sources.ServiceName);
    m_ListUrl->setText(Sources.ListUrl);
}

TrackerSources TrackerSourcesDialog::sources() const {
    return {m_ServiceUrl->text().trimmed(), m_ServiceName->text().trimmed(),
            m_ListUrl->text().trimmed()};
}

void TrackerSourcesDialog::accept() {
    const TrackerSources chosen = sources();
    for (const auto& [address, edit, problem] :
         {std::tuple{chosen.ServiceUrl, m_ServiceUrl, kBadServiceAddressText},
          std::tuple{chosen.ListUrl, m_ListUrl, kBadListAddressText}}) {
        if (!address.isEmpty() && !IsWebAddress(QUrl(address))) {
            MessageBoxes::error(this, tr(problem));
            edit->setFocus();
            edit->selectAll();
            return;
        }
    }
    QDialog::accept();
}

void openTrackerSources(QWidget* Parent, TrackerFetcher& Fetcher, const QString& SettingsFile,
                        TListHost& Host) {
    auto* dialog = new TrackerSourcesDialog(Parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setSources({Fetcher.serviceUrl(), Fetcher.serviceName(), Fetcher.trackerListUrl()});
    QObject::connect(dialog, &QDialog::accepted, &Fetcher, [dialog, &Fetcher, &Host, SettingsFile] {
        TrackerSources chosen = dialog->sources();
        if (chosen.ListUrl.isEmpty()) {
            chosen.ListUrl = SettingsStore::kDefaultTrackerListURL;
        }
        Fetcher.setService(chosen.ServiceUrl, chosen.ServiceName);
        Fetcher.setTrackerList(chosen.ListUrl);
        if (!SettingsStore(SettingsFile)
                 .setTexts({chosen.ServiceUrl, chosen.ServiceName, chosen.ListUrl})) {
            const TMessage text = TMessage::Verbatim(
                Utf8Of(TrackerSourcesDialog::tr(kSourcesNotSavedText).arg(SettingsFile)));
            Host.SetStatusText(text);
            if (!Host.QuietMode()) {
                Host.ShowError(text);
            }
        }
    });
    dialog->open();
}

} // namespace lintervale
