#include "session/SettingsStore.h"

#include <QSettings>
#include <QStandardPaths>
#include <QStringList>

namespace lintervale {

QString SettingsStore::defaultFileName() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           "/Lintervale/Lintervale.conf";
}

SettingsStore::SettingsStore(QString FileName) : m_FileName(std::move(FileName)) {}

bool SettingsStore::load(const std::function<void(Option, bool)>& Apply) const {
    QSettings settings(m_FileName, QSettings::IniFormat);
    for (int i = 0; i < OptionCount; ++i) {
        const QVariant value = settings.value(kOptions[i].Name);
        bool isNumber = false;
        const long long number = value.toString().trimmed().toLongLong(&isNumber);
        if (!value.isValid() || !isNumber) {
            for (const Entry& entry : kOptions) {
                settings.setValue(entry.Name, entry.Default ? 1 : 0);
            }
            settings.sync();
            Apply(QuietMode, true);
            return false;
        }
        Apply(static_cast<Option>(i), number != 0);
    }
    return true;
}

void SettingsStore::save(const std::array<bool, OptionCount>& Values) const {
    QSettings settings(m_FileName, QSettings::IniFormat);
    for (int i = 0; i < OptionCount; ++i) {
        settings.setValue(kOptions[i].Name, Values[i] ? 1 : 0);
    }
    settings.sync();
}

QString SettingsStore::text(Text Which) const {
    const QSettings settings(m_FileName, QSettings::IniFormat);
    const QVariant value = settings.value(kTexts[Which].Name);
    // The INI reader splits a text with unquoted commas into a list: it is joined again.
    const QString text = value.typeId() == QMetaType::QStringList ? value.toStringList().join(", ")
                                                                  : value.toString();
    return text.trimmed().isEmpty() ? QString(kTexts[Which].Default) : text.trimmed();
}

bool SettingsStore::setTexts(const std::array<QString, TextCount>& Values) const {
    QSettings settings(m_FileName, QSettings::IniFormat);
    for (int i = 0; i < TextCount; ++i) {
        settings.setValue(kTexts[i].Name, Values[i].trimmed());
    }
    settings.sync();
    return settings.status() == QSettings::NoError;
}

} // namespace lintervale
