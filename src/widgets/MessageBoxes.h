#pragma once

// Every message box and file dialog of the program goes through here, so that tests can
// answer them: in test mode nothing is shown; each box is recorded and answered with the
// next queued answer, or with its default button when none is queued; each file dialog
// returns the next queued choice, or nothing.
//
// A box's text is plain text, shown as DisplayText (qtsupport/DisplayText.h) makes it: a file
// name, an address or a server's words in it never become rich text or a link, and a
// bidirectional control character in them shows as a visible mark. shown() records the text as
// the box shows it.

#include <QCoreApplication>
#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <functional>

namespace lintervale {

class MessageBoxes {
    Q_DECLARE_TR_FUNCTIONS(lintervale::MessageBoxes)

public:
    static void notice(QWidget* Parent, const QString& Text);
    static void error(QWidget* Parent, const QString& Text);
    // Yes and No, No the default unless YesByDefault; true for Yes.
    static bool confirm(QWidget* Parent, const QString& Text, bool YesByDefault = false);
    // A question with Yes and OK whose answer does not matter.
    static void askHelp(QWidget* Parent, const QString& Text);
    // An error box that tells Summary, with Details (one line an item) to show and copy.
    static void errorWithDetails(QWidget* Parent, const QString& Summary, const QString& Details);

    // The multi-select file dialog for .torrent files; empty when cancelled.
    static QStringList chooseTorrents(QWidget* Parent);
    // A save dialog that asks before replacing a file; Filter as QFileDialog takes it, and
    // Suffix added to a name typed without one. Empty when cancelled; in test mode, the first
    // file of the next queued choice.
    static QString chooseSaveFile(QWidget* Parent, const QString& Caption,
                                  const QString& SuggestedPath, const QString& Filter,
                                  const QString& Suffix);
    // A dialog that chooses an existing folder, starting at Start. Empty when cancelled; in
    // test mode, the first file of the next queued choice.
    static QString chooseFolder(QWidget* Parent, const QString& Caption, const QString& Start);

    // The test seam.
    // Echo writes each box's text to stderr too (for programs run by tests).
    static void setTestMode(bool On, bool Echo = false);
    // In test mode, each box stays up like a user's, its event loop running, until a line
    // arrives on standard input (or it ends).
    static void setHoldOnInput(bool On);
    static void setNextAnswer(QMessageBox::StandardButton Answer);
    // Runs Action while the next box is up, as the box's event loop would run what arrives.
    static void setDuringNextBox(std::function<void()> Action);
    static void setNextFiles(const QStringList& Files);
    static QStringList shown(); // texts of the boxes shown since the last clear
    static void clearShown();

private:
    static QMessageBox::StandardButton show(QWidget* Parent, QMessageBox::Icon Icon,
                                            const QString& Text,
                                            QMessageBox::StandardButtons Buttons,
                                            QMessageBox::StandardButton Default,
                                            const QString& Details = {});
};

} // namespace lintervale
