#pragma once

// "Link contents…": what the magnet links the window gives hold (copy, open, QR code, drag
// out) and what `--magnet` and `--show` print: the name, all, the first or none of the
// trackers, the web seeds, the exact size, and peer addresses the user types. A preview shows
// the current row's link as the choices make it. OK keeps the choices only when every peer
// address is good; a bad one is named.

#include "magnet/MagnetLink.h"

#include <QDialog>
#include <QString>
#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;

namespace lintervale {

class TTorrentList;

class LinkContentsDialog final : public QDialog {
    Q_OBJECT
public:
    // Preview: the current row's link with the given contents (empty when there is no row).
    using Preview = std::function<QString(const TLinkContents&)>;

    LinkContentsDialog(const TLinkContents& Contents, Preview Show, QWidget* Parent = nullptr);

    // What the boxes say now; the peers as far as they are good.
    TLinkContents contents() const;
    // The first peer address that is no good, or an empty text.
    QString badPeer() const;

    void accept() override;

    // Opens the dialog window-modal over Parent with List's contents and a preview of the
    // current row's link. Accepted, the contents go to List and to the options file
    // SettingsFile; a failed write is told through Status.
    static void openFor(TTorrentList& List, const QString& SettingsFile, QWidget* Parent,
                        std::function<void(const QString&)> Status);

private:
    void setContents(const TLinkContents& Contents);
    void update();

    QCheckBox* m_Name = nullptr;
    QRadioButton* m_AllTrackers = nullptr;
    QRadioButton* m_FirstTracker = nullptr;
    QRadioButton* m_NoTrackers = nullptr;
    QCheckBox* m_WebSeeds = nullptr;
    QCheckBox* m_ExactLength = nullptr;
    QPlainTextEdit* m_Peers = nullptr;
    QLineEdit* m_Preview = nullptr;
    QLabel* m_Problem = nullptr;
    Preview m_Show;
};

} // namespace lintervale
