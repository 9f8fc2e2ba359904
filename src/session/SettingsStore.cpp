#include "session/SettingsStore.h"

#include "magnet/LinkSettings.h"

#include <QCoreApplication>
#include <QSaveFile>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>

namespace lintervale {

namespace {

// Writes what Settings holds; returns false with the reason in *Failure when it could not.
bool Sync(QSettings& Settings, QString* Failure) {
    Settings.sync();
    if (Settings.status() == QSettings::NoError) {
        if (Failure != nullptr) {
            Failure->clear();
        }
        return true;
    }
    if (Failure != nullptr) {
        QString reason = QCoreApplication::translate("SettingsStore", "It is not an INI file.");
        if (Settings.status() == QSettings::AccessError) {
            // QSettings keeps the system's reason to itself: opening the file for writing the
            // same way (and dropping what was opened) finds it again.
            QSaveFile probe(Settings.fileName());
            reason = probe.open(QIODevice::WriteOnly)
                         ? QCoreApplication::translate("SettingsStore", "Access denied.")
                         : probe.errorString();
            probe.cancelWriting();
        }
        *Failure =
            QCoreApplication::translate("SettingsStore", "Cannot write the options file \"%1\". %2")
                .arg(Settings.fileName(), reason);
    }
    return false;
}

constexpr const char* kFetchTimeLimitKey = "FetchTimeLimit";
constexpr const char* kFetchDhtKey = "FetchDht";
constexpr const char* kFetchPortMappingKey = "FetchPortMapping";
constexpr const char* kFetchAddedLinksKey = "FetchAddedLinks";
constexpr const char* kFetchPrivacyKey = "FetchPrivacyAccepted";

// The whole number Key holds within [Low, High], or Default.
int NumberOf(const QSettings& Settings, const char* Key, int Default, int Low, int High) {
    bool isNumber = false;
    const long long number = Settings.value(Key).toString().trimmed().toLongLong(&isNumber);
    return isNumber && number >= Low && number <= High ? static_cast<int>(number) : Default;
}

} // namespace

QString SettingsStore::defaultFileName() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           "/Lintervale/Lintervale.conf";
}

SettingsStore::SettingsStore(QString FileName) : m_FileName(std::move(FileName)) {}

bool SettingsStore::load(const std::function<void(Option, bool)>& Apply, QString* Failure) const {
    if (Failure != nullptr) {
        Failure->clear();
    }
    QSettings settings(m_FileName, QSettings::IniFormat);
    for (int i = 0; i < OptionCount; ++i) {
        const QVariant value = settings.value(kOptions[i].Name);
        bool isNumber = false;
        const long long number = value.toString().trimmed().toLongLong(&isNumber);
        if (!value.isValid() || !isNumber) {
            for (const Entry& entry : kOptions) {
                settings.setValue(entry.Name, entry.Default ? 1 : 0);
            }
            Sync(settings, Failure);
            Apply(QuietMode, true);
            return false;
        }
        Apply(static_cast<Option>(i), number != 0);
    }
    return true;
}

bool SettingsStore::save(const std::array<bool, OptionCount>& Values, QString* Failure) const {
    QSettings settings(m_FileName, QSettings::IniFormat);
    for (int i = 0; i < OptionCount; ++i) {
        settings.setValue(kOptions[i].Name, Values[i] ? 1 : 0);
    }
    return Sync(settings, Failure);
}

QString SettingsStore::text(Text Which) const {
    const QSettings settings(m_FileName, QSettings::IniFormat);
    const QVariant value = settings.value(kTexts[Which].Name);
    // The INI reader splits a text with unquoted commas into a list: it is joined again.
    const QString text = value.typeId() == QMetaType::QStringList ? value.toStringList().join(", ")
                                                                  : value.toString();
    return text.trimmed().isEmpty() ? QString(kTexts[Which].Default) : text.trimmed();
}

bool SettingsStore::setTexts(const std::array<QString, TextCount>& Values, QString* Failure) const {
    QSettings settings(m_FileName, QSettings::IniFormat);
    for (int i = 0; i < TextCount; ++i) {
        settings.setValue(kTexts[i].Name, Values[i].trimmed());
    }
    return Sync(settings, Failure);
}

TLinkContents SettingsStore::linkContents() const {
    const QSettings settings(m_FileName, QSettings::IniFormat);
    TLinkContents contents;
    for (const char* key :
         {kLinkNameKey, kLinkTrackersKey, kLinkWebSeedsKey, kLinkExactLengthKey, kLinkPeersKey}) {
        const QVariant value = settings.value(key);
        if (value.isValid()) {
            // A text with commas reads as a list: its parts are the words.
            const QString text = value.typeId() == QMetaType::QStringList
                                     ? value.toStringList().join(' ')
                                     : value.toString();
            ApplyLinkSetting(key, text.toStdString(), contents);
        }
    }
    return contents;
}

bool SettingsStore::setLinkContents(const TLinkContents& Contents, QString* Failure) const {
    QSettings settings(m_FileName, QSettings::IniFormat);
    settings.setValue(kLinkNameKey, Contents.Name ? 1 : 0);
    settings.setValue(kLinkTrackersKey,
                      QString::fromStdString(LinkTrackersValue(Contents.Trackers)));
    settings.setValue(kLinkWebSeedsKey, Contents.WebSeeds ? 1 : 0);
    settings.setValue(kLinkExactLengthKey, Contents.ExactLength ? 1 : 0);
    settings.setValue(kLinkPeersKey, QString::fromStdString(LinkPeersValue(Contents.Peers)));
    return Sync(settings, Failure);
}

FetchOptions SettingsStore::fetchOptions() const {
    const QSettings settings(m_FileName, QSettings::IniFormat);
    const FetchOptions defaults;
    const auto flag = [&](const char* key, bool fallback) {
        return NumberOf(settings, key, fallback ? 1 : 0, 0, 1) != 0;
    };
    return {.TimeLimitSeconds = NumberOf(settings, kFetchTimeLimitKey, defaults.TimeLimitSeconds,
                                         FetchOptions::kMinTimeLimit, FetchOptions::kMaxTimeLimit),
            .Dht = flag(kFetchDhtKey, defaults.Dht),
            .PortMapping = flag(kFetchPortMappingKey, defaults.PortMapping),
            .FetchAddedLinks = flag(kFetchAddedLinksKey, defaults.FetchAddedLinks),
            .PrivacyAccepted = flag(kFetchPrivacyKey, defaults.PrivacyAccepted)};
}

bool SettingsStore::setFetchOptions(const FetchOptions& Options, QString* Failure) const {
    QSettings settings(m_FileName, QSettings::IniFormat);
    settings.setValue(kFetchTimeLimitKey, Options.TimeLimitSeconds);
    settings.setValue(kFetchDhtKey, Options.Dht ? 1 : 0);
    settings.setValue(kFetchPortMappingKey, Options.PortMapping ? 1 : 0);
    settings.setValue(kFetchAddedLinksKey, Options.FetchAddedLinks ? 1 : 0);
    settings.setValue(kFetchPrivacyKey, Options.PrivacyAccepted ? 1 : 0);
    return Sync(settings, Failure);
}

} // namespace lintervale
