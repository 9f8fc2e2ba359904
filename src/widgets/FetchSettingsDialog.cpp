#include "widgets/FetchSettingsDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

namespace lintervale {

FetchSettingsDialog::FetchSettingsDialog(const FetchOptions& Options, QWidget* Parent)
    : QDialog(Parent), m_Options(Options) {
    setObjectName("FetchSettingsDialog");
    setWindowTitle(tr("Fetching contents"));

    auto* intro = new QLabel(
        tr("A link holds only a torrent's hash. Its contents (names, sizes and files) are "
           "fetched from the peers that share it, which see your address."));
    intro->setWordWrap(true);
    intro->setTextFormat(Qt::PlainText);

    m_TimeLimit = new QSpinBox;
    m_TimeLimit->setObjectName("FetchTimeLimit");
    m_TimeLimit->setRange(FetchOptions::kMinTimeLimit, FetchOptions::kMaxTimeLimit);
    m_TimeLimit->setSuffix(tr(" s"));
    m_TimeLimit->setValue(Options.TimeLimitSeconds);
    m_TimeLimit->setAccessibleName(tr("Time limit in seconds"));
    m_Dht = new QCheckBox(tr("Look for peers in the &DHT"));
    m_Dht->setObjectName("FetchDht");
    m_Dht->setChecked(Options.Dht);
    m_PortMapping = new QCheckBox(tr("Ask the router to &forward a port (UPnP, NAT-PMP)"));
    m_PortMapping->setObjectName("FetchPortMapping");
    m_PortMapping->setChecked(Options.PortMapping);
    m_FetchAdded = new QCheckBox(tr("Fetch contents of &added links"));
    m_FetchAdded->setObjectName("FetchAddedLinks");
    m_FetchAdded->setChecked(Options.FetchAddedLinks);

    auto* form = new QFormLayout;
    auto* limitLabel = new QLabel(tr("&Give up after:"));
    limitLabel->setBuddy(m_TimeLimit);
    form->addRow(limitLabel, m_TimeLimit);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(form);
    layout->addWidget(m_Dht);
    layout->addWidget(m_PortMapping);
    layout->addWidget(m_FetchAdded);
    layout->addWidget(buttons);
}

FetchOptions FetchSettingsDialog::options() const {
    FetchOptions options = m_Options;
    options.TimeLimitSeconds = m_TimeLimit->value();
    options.Dht = m_Dht->isChecked();
    options.PortMapping = m_PortMapping->isChecked();
    options.FetchAddedLinks = m_FetchAdded->isChecked();
    return options;
}

} // namespace lintervale
