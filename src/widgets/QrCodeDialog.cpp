#include "widgets/QrCodeDialog.h"

#include "qtsupport/Utf8Text.h"
#include "widgets/MessageBoxes.h"

#include <QClipboard>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QScreen>
#include <QScrollArea>
#include <QStandardPaths>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace lintervale {

namespace {

// The code takes at most this share of the screen's smaller side, modules permitting.
constexpr double kScreenShare = 0.6;
// The link's text shows this many lines before it scrolls.
constexpr int kLinkLines = 3;

// Device pixels a module: as many as fit the share of the screen, within the bounds.
int ModulePixelsFor(int Modules, const QScreen* Screen) {
    const double ratio = Screen != nullptr ? Screen->devicePixelRatio() : 1.0;
    const QSize available = Screen != nullptr ? Screen->availableSize() : QSize(800, 600);
    const double side = std::min(available.width(), available.height()) * kScreenShare * ratio;
    const int least = static_cast<int>(std::ceil(QrCodeDialog::kMinModulePixels * ratio));
    const int most = static_cast<int>(std::ceil(QrCodeDialog::kMaxModulePixels * ratio));
    return std::clamp(static_cast<int>(side / Modules), least, most);
}

} // namespace

QrCodeDialog::QrCodeDialog(const QString& Link, const QString& Name, QWidget* Parent)
    : QDialog(Parent), m_Name(Name) {
    setObjectName("QrCodeDialog");
    setWindowTitle(tr("QR code"));
    auto* layout = new QVBoxLayout(this);

    m_Code = new QLabel(this);
    m_Code->setObjectName("QrImage");
    m_Code->setAlignment(Qt::AlignCenter);
    m_Code->setAccessibleName(tr("QR code"));
    m_Code->setAccessibleDescription(tr("The magnet link as a QR code, for a phone's camera."));
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName("QrScroll");
    scroll->setWidget(m_Code);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    layout->addWidget(scroll, 1);

    const QScreen* screen = Parent != nullptr ? Parent->screen() : QGuiApplication::primaryScreen();
    const QByteArray bytes = Link.toUtf8();
    const std::optional<TQrCode> code =
        EncodeQrCode(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    if (code) {
        m_ModulePixels = ModulePixelsFor(code->Width + 2 * kQrQuietZone, screen);
        m_Image = renderCode(*code, m_ModulePixels);
        m_Image.setDevicePixelRatio(screen != nullptr ? screen->devicePixelRatio() : 1.0);
        m_Code->setPixmap(QPixmap::fromImage(m_Image));
        // The whole code shows unless the screen is too small for it; then it scrolls.
        const QSize shown = m_Image.deviceIndependentSize().toSize();
        const QSize room = screen != nullptr ? screen->availableSize() * 0.8 : shown;
        scroll->setMinimumSize(shown.boundedTo(room));
    } else {
        m_Code->setText(tr(kQrTooLongText));
        m_Code->setWordWrap(true);
    }

    auto* linkText = new QPlainTextEdit(Link, this);
    linkText->setObjectName("LinkText");
    linkText->setReadOnly(true);
    linkText->setAccessibleName(tr("Magnet link"));
    linkText->setWordWrapMode(QTextOption::WrapAnywhere);
    const QMargins margins = linkText->contentsMargins();
    linkText->setFixedHeight(linkText->fontMetrics().lineSpacing() * kLinkLines +
                             2 * static_cast<int>(linkText->document()->documentMargin()) +
                             margins.top() + margins.bottom());
    layout->addWidget(linkText);

    m_Status = new QLabel(this);
    m_Status->setObjectName("StatusLabel");
    m_Status->setTextFormat(Qt::PlainText);
    m_Status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_Status->setAccessibleName(tr("Status"));
    layout->addWidget(m_Status);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    m_Copy = buttons->addButton(tr("&Copy image"), QDialogButtonBox::ActionRole);
    m_Copy->setAccessibleDescription(tr("Puts the QR code on the clipboard as an image."));
    m_Copy->setObjectName("CopyImageButton");
    m_Save = buttons->addButton(tr("&Save as PNG..."), QDialogButtonBox::ActionRole);
    m_Save->setAccessibleDescription(tr("Saves the QR code as a PNG image file."));
    m_Save->setObjectName("SavePngButton");
    m_Copy->setEnabled(code.has_value());
    m_Save->setEnabled(code.has_value());
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_Copy, &QPushButton::clicked, this, &QrCodeDialog::copyImage);
    connect(m_Save, &QPushButton::clicked, this, &QrCodeDialog::saveImage);
}

QImage QrCodeDialog::renderCode(const TQrCode& Code, int ModulePixels) {
    const int side = (Code.Width + 2 * kQrQuietZone) * ModulePixels;
    QImage image(side, side, QImage::Format_Grayscale8);
    image.fill(Qt::white);
    for (int y = 0; y < Code.Width; ++y) {
        const int top = (y + kQrQuietZone) * ModulePixels;
        uchar* first = image.scanLine(top);
        for (int x = 0; x < Code.Width; ++x) {
            if (Code.Dark(x, y)) {
                std::memset(first + (x + kQrQuietZone) * ModulePixels, 0,
                            static_cast<std::size_t>(ModulePixels));
            }
        }
        for (int row = 1; row < ModulePixels; ++row) {
            std::memcpy(image.scanLine(top + row), first, static_cast<std::size_t>(side));
        }
    }
    return image;
}

void QrCodeDialog::copyImage() {
    QGuiApplication::clipboard()->setImage(m_Image);
    m_Status->setText(tr("The image is on the clipboard."));
}

void QrCodeDialog::saveImage() {
    const QString path = MessageBoxes::chooseSaveFile(this, tr("Save as PNG"), suggestedPath(),
                                                      tr("PNG image (*.png)"), "png");
    if (path.isEmpty()) {
        return;
    }
    // Written whole or not at all: a file that was there stays as it was on a failure.
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && m_Image.save(&file, "PNG") && file.commit()) {
        m_Status->setText(tr("Saved to %1.").arg(QDir::toNativeSeparators(path)));
        return;
    }
    QString text = tr("Could not save the image to %1.").arg(QDir::toNativeSeparators(path));
    if (file.error() != QFileDevice::NoError && !file.errorString().isEmpty()) {
        text += "\n" + file.errorString();
    }
    m_Status->setText(text);
    MessageBoxes::error(this, text);
}

// The row's name, made fit for a file name, in the user's pictures folder (or home).
QString QrCodeDialog::suggestedPath() const {
    QString name = m_Name.trimmed().left(120);
    for (QChar& c : name) {
        if (c == '/' || c == '\\' || c.category() == QChar::Other_Control) {
            c = '_';
        }
    }
    if (name.isEmpty() || name == "." || name == "..") {
        name = tr("magnet link");
    }
    QString folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        folder = QDir::homePath();
    }
    return QDir(folder).filePath(name + ".png");
}

bool QrCodeDialog::openForRow(const TTorrentList& List, QWidget* Parent) {
    const TTorrentGrid& grid = List.Grid();
    const int row = grid.Row();
    if (grid.Cell(TTorrentGrid::ColHash, row).empty()) {
        return false;
    }
    // The dialog keeps the link's text: the row may change or go while it is open.
    auto* dialog = new QrCodeDialog(QStringOf(List.MagnetLinkOfRow(row)),
                                    QStringOf(grid.Cell(TTorrentGrid::ColName, row)), Parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::WindowModal);
    dialog->open();
    List.TellIfPrivate(row, row);
    return true;
}

} // namespace lintervale
