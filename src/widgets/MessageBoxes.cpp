#include "widgets/MessageBoxes.h"

#include "qtsupport/DisplayText.h"

#include <QApplication>
#include <QEventLoop>
#include <QFileDialog>
#include <QSocketNotifier>
#include <cstdio>
#include <cstring>
#include <deque>
#include <unistd.h>
#include <utility>

namespace lintervale {

namespace {

bool gTestMode = false;
bool gEcho = false;
std::deque<QMessageBox::StandardButton> gAnswers;
QStringList gShown;
std::deque<QStringList> gFiles;
bool gHold = false;
std::function<void()> gDuringNextBox;

// In test mode: the next queued answer of a file dialog; none is a cancelled dialog.
QStringList NextQueuedFiles() {
    if (gFiles.empty()) {
        return {};
    }
    QStringList files = gFiles.front();
    gFiles.pop_front();
    return files;
}

// Runs a dialog that chooses one path; empty when it is cancelled.
QString ChosenPath(QFileDialog& Dialog) {
    if (Dialog.exec() != QDialog::Accepted || Dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return Dialog.selectedFiles().first();
}

// Runs an event loop, as a box does, until a line (or the end) comes on standard input.
void HoldUntilInput() {
    QEventLoop loop;
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &loop, [&loop] {
        char bytes[256];
        const ssize_t count = ::read(STDIN_FILENO, bytes, sizeof bytes);
        if (count <= 0 || std::memchr(bytes, '\n', static_cast<std::size_t>(count)) != nullptr) {
            loop.quit();
        }
    });
    loop.exec();
}

} // namespace

QMessageBox::StandardButton MessageBoxes::show(QWidget* Parent, QMessageBox::Icon Icon,
                                               const QString& Text,
                                               QMessageBox::StandardButtons Buttons,
                                               QMessageBox::StandardButton Default,
                                               const QString& Details) {
    const QString shown = DisplayText(Text);
    if (gTestMode) {
        gShown.append(Details.isEmpty() ? shown : shown + "\n\n" + DisplayText(Details));
        if (gEcho) {
            std::fprintf(stderr, "lintervale: %s\n", Text.toLocal8Bit().constData());
        }
        if (gHold) {
            HoldUntilInput();
        }
        if (gDuringNextBox) {
            std::exchange(gDuringNextBox, nullptr)();
        }
        if (gAnswers.empty()) {
            return Default;
        }
        const QMessageBox::StandardButton answer = gAnswers.front();
        gAnswers.pop_front();
        return answer;
    }
    QMessageBox box(Icon, QApplication::applicationDisplayName(), QString(), Buttons, Parent);
    box.setTextFormat(Qt::PlainText);
    box.setText(shown);
    box.setDefaultButton(Default);
    box.setDetailedText(DisplayText(Details));
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void MessageBoxes::notice(QWidget* Parent, const QString& Text) {
    show(Parent, QMessageBox::NoIcon, Text, QMessageBox::Ok, QMessageBox::Ok);
}

void MessageBoxes::error(QWidget* Parent, const QString& Text) {
    show(Parent, QMessageBox::Critical, Text, QMessageBox::Ok, QMessageBox::Ok);
}

bool MessageBoxes::confirm(QWidget* Parent, const QString& Text, bool YesByDefault) {
    return show(Parent, QMessageBox::Question, Text, QMessageBox::Yes | QMessageBox::No,
                YesByDefault ? QMessageBox::Yes : QMessageBox::No) == QMessageBox::Yes;
}

void MessageBoxes::askHelp(QWidget* Parent, const QString& Text) {
    show(Parent, QMessageBox::Question, Text, QMessageBox::Yes | QMessageBox::Ok, QMessageBox::Yes);
}

void MessageBoxes::errorWithDetails(QWidget* Parent, const QString& Summary,
                                    const QString& Details) {
    show(Parent, QMessageBox::Critical, Summary, QMessageBox::Ok, QMessageBox::Ok, Details);
}

QStringList MessageBoxes::chooseTorrents(QWidget* Parent) {
    if (gTestMode) {
        return NextQueuedFiles();
    }
    QFileDialog dialog(Parent, tr("Add .torrent(s)"));
    dialog.setFileMode(QFileDialog::ExistingFiles);
    const QString torrents = tr(".torrent (*.torrent)");
    dialog.setNameFilters({torrents, tr("All files (*)")});
    dialog.selectNameFilter(torrents);
    dialog.setSizeGripEnabled(true);
    if (dialog.exec() != QDialog::Accepted) {
        return {};
    }
    return dialog.selectedFiles();
}

QString MessageBoxes::chooseSaveFile(QWidget* Parent, const QString& Caption,
                                     const QString& SuggestedPath, const QString& Filter,
                                     const QString& Suffix) {
    if (gTestMode) {
        return NextQueuedFiles().value(0);
    }
    QFileDialog dialog(Parent, Caption, SuggestedPath, Filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(Suffix);
    dialog.selectFile(SuggestedPath);
    return ChosenPath(dialog);
}

QString MessageBoxes::chooseFolder(QWidget* Parent, const QString& Caption, const QString& Start) {
    if (gTestMode) {
        return NextQueuedFiles().value(0);
    }
    QFileDialog dialog(Parent, Caption, Start);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    return ChosenPath(dialog);
}

void MessageBoxes::setTestMode(bool On, bool Echo) {
    gTestMode = On;
    gEcho = Echo;
    gAnswers.clear();
    gShown.clear();
    gFiles.clear();
    gDuringNextBox = nullptr;
}

void MessageBoxes::setHoldOnInput(bool On) {
    gHold = On;
}

void MessageBoxes::setDuringNextBox(std::function<void()> Action) {
    gDuringNextBox = std::move(Action);
}

void MessageBoxes::setNextFiles(const QStringList& Files) {
    gFiles.push_back(Files);
}

void MessageBoxes::setNextAnswer(QMessageBox::StandardButton Answer) {
    gAnswers.push_back(Answer);
}

QStringList MessageBoxes::shown() {
    return gShown;
}

void MessageBoxes::clearShown() {
    gShown.clear();
}

} // namespace lintervale
