#include "network/TrackerFetcher.h"
#include "qtsupport/Utf8Text.h"
#include "widgets/GridModel.h"
#include "widgets/MainForm.h"
#include "widgets/MessageBoxes.h"
#include "widgets/Translations.h"

#include <QCheckBox>
#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QLabel>
#include <QSoundEffect>
#include <QUrl>

// The list's side of the window: adding files, and what the list's commands ask of the
// window (TListHost).

namespace lintervale {

void MainForm::AddFiles(const QStringList& FileNames, bool SkipMissing) {
    if (FileNames.isEmpty()) {
        return;
    }
    m_Adder->queueFiles(FileNames, SkipMissing);
    m_Adder->start();
}

void MainForm::AddFile(const QString& FileName) {
    published([&] { m_List.AddFile(Utf8Of(FileName)); });
}

bool MainForm::adding() const {
    return m_Adder->adding();
}

bool MainForm::QuietMode() const {
    return m_QuietMode->isChecked();
}
bool MainForm::FetchExtra() const {
    return m_FetchExtra->isChecked();
}
bool MainForm::AutoOpen() const {
    return m_AutoOpen->isChecked();
}

void MainForm::ShowNotice(const TMessage& Text) {
    published([&] { MessageBoxes::notice(this, messageText(Text)); });
}

void MainForm::ShowError(const TMessage& Text) {
    published([&] { MessageBoxes::error(this, messageText(Text)); });
}

bool MainForm::Confirm(const TMessage& Text) {
    return published([&] { return MessageBoxes::confirm(this, messageText(Text)); });
}

void MainForm::AskHelp(const TMessage& Text) {
    published([&] { MessageBoxes::askHelp(this, messageText(Text)); });
}

void MainForm::SetStatusText(const TMessage& Text) {
    showStatus(messageText(Text));
}

void MainForm::showStatus(const QString& Text) {
    m_StatusText->setText(Text);
}

void MainForm::OpenUrl(const std::string& Url) {
    QDesktopServices::openUrl(QUrl::fromEncoded(QByteArray::fromStdString(Url)));
}

void MainForm::SetClipboardText(const std::string& Text) {
    QGuiApplication::clipboard()->setText(QStringOf(Text));
}

void MainForm::PlaySound() {
    m_Sound->play();
}

void MainForm::FetchTrackers() {
    m_Fetcher->fetchSelected();
}

void MainForm::WhenFetched(const std::string& Hash, std::function<void()> Action) {
    if (!m_Fetcher->pending(Hash)) {
        Action();
        return;
    }
    m_AfterFetch.emplace_back(Hash, std::move(Action));
}

void MainForm::fetchEnded(const std::string& Hash) {
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

} // namespace lintervale
