#include "widgets/WindowHost.h"

#include "network/TrackerFetcher.h"
#include "qtsupport/DisplayText.h"
#include "qtsupport/Utf8Text.h"
#include "widgets/BatchAdder.h"
#include "widgets/KeptTorrents.h"
#include "widgets/MessageBoxes.h"
#include "widgets/Translations.h"

#include <QCheckBox>
#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QLabel>
#include <QSoundEffect>
#include <QUrl>

namespace lintervale {

bool WindowHost::QuietMode() const {
    return m_Parts.QuietMode->isChecked();
}
bool WindowHost::FetchExtra() const {
    return m_Parts.FetchExtra->isChecked();
}
bool WindowHost::AutoOpen() const {
    return m_Parts.AutoOpen->isChecked();
}

void WindowHost::ShowNotice(const TMessage& Text) {
    m_Parts.Adder->published([&] { MessageBoxes::notice(m_Parts.Window, messageText(Text)); });
}

void WindowHost::ShowError(const TMessage& Text) {
    m_Parts.Adder->published([&] { MessageBoxes::error(m_Parts.Window, messageText(Text)); });
}

bool WindowHost::Confirm(const TMessage& Text) {
    return m_Parts.Adder->published(
        [&] { return MessageBoxes::confirm(m_Parts.Window, messageText(Text)); });
}

void WindowHost::AskHelp(const TMessage& Text) {
    m_Parts.Adder->published([&] { MessageBoxes::askHelp(m_Parts.Window, messageText(Text)); });
}

void WindowHost::SetStatusText(const TMessage& Text) {
    showStatus(messageText(Text));
}

void WindowHost::showStatus(const QString& Text) {
    m_Parts.Status->setText(DisplayText(Text));
}

void WindowHost::OpenUrl(const std::string& Url) {
    QDesktopServices::openUrl(QUrl::fromEncoded(QByteArray::fromStdString(Url)));
}

void WindowHost::SetClipboardText(const std::string& Text) {
    QGuiApplication::clipboard()->setText(QStringOf(Text));
}

void WindowHost::PlaySound() {
    m_Parts.Sound->play();
}

void WindowHost::FetchTrackers() {
    m_Parts.Fetcher->fetchSelected();
}

void WindowHost::WhenFetched(const std::string& Hash, std::function<void()> Action) {
    if (!m_Parts.Fetcher->pending(Hash)) {
        Action();
        return;
    }
    m_AfterFetch.emplace_back(Hash, std::move(Action));
}

void WindowHost::fetchEnded(const std::string& Hash) {
    std::vector<std::function<void()>> due;
    std::erase_if(m_AfterFetch, [&](auto& Waiting) {
        if (Waiting.first != Hash) {
            return false;
        }
        due.push_back(std::move(Waiting.second));
        return true;
    });
    for (const std::function<void()>& action : due) {
        action();
    }
}

bool WindowHost::KeptTorrent(const std::string& Hash, const std::string& Name, std::string& Bytes) {
    if (m_Kept == nullptr) {
        return false;
    }
    KeptTorrents::Kept kept = m_Kept->read(Hash, Name);
    if (!kept.Problem.isEmpty()) {
        showStatus(kept.Problem);
    }
    if (!kept.Bytes) {
        return false;
    }
    Bytes = std::move(*kept.Bytes);
    return true;
}

} // namespace lintervale
