#pragma once

// The QR code of one magnet link, in a dialog of its own.
//
// The code is drawn with its quiet zone, every module a square of whole device pixels (never
// scaled afterwards, so never blurred): as large as suits the screen, between kMinModulePixels
// and kMaxModulePixels a module, so that a phone reads it at arm's length. Below it the link
// stands as selectable text. "Copy image" puts the image on the clipboard; "Save as PNG"
// asks for a file (through MessageBoxes) and writes it whole or not at all. A link too long
// for any QR code shows kQrTooLongText instead, with both buttons disabled.

#include "list/TorrentList.h"
#include "qr/QrCode.h"

#include <QDialog>
#include <QImage>
#include <QString>

class QLabel;
class QPushButton;

namespace lintervale {

// In English; the dialog shows it translated.
inline constexpr const char* kQrTooLongText =
    QT_TRANSLATE_NOOP("lintervale::QrCodeDialog", "This link is too long for a QR code.");

class QrCodeDialog final : public QDialog {
    Q_OBJECT
public:
    // Logical pixels a module, at the least and at the most.
    static constexpr int kMinModulePixels = 6;
    static constexpr int kMaxModulePixels = 12;

    // Name (the row's name) suggests the file name that "Save as PNG" offers.
    QrCodeDialog(const QString& Link, const QString& Name, QWidget* Parent = nullptr);

    // Opens the dialog for the current row of List, window-modal over Parent, and returns at
    // once; false, and nothing opens, when the row has no magnet link.
    static bool openForRow(const TTorrentList& List, QWidget* Parent);

    // The image shown, copied and saved (its device pixel ratio set for the screen); null
    // when the link is too long.
    QImage image() const { return m_Image; }
    // Device pixels a module in image().
    int modulePixels() const { return m_ModulePixels; }

    // The code with a quiet zone of kQrQuietZone modules, ModulePixels a module, black on
    // white, 8-bit grey.
    static QImage renderCode(const TQrCode& Code, int ModulePixels);

private:
    void copyImage();
    void saveImage();
    QString suggestedPath() const;

    QString m_Name;
    QImage m_Image;
    int m_ModulePixels = 0;
    QLabel* m_Code = nullptr;
    QLabel* m_Status = nullptr;
    QPushButton* m_Copy = nullptr;
    QPushButton* m_Save = nullptr;
};

} // namespace lintervale
