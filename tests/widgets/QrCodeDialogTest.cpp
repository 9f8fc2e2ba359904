// The QR code dialog, offscreen: the code read back by zbar from the image shown, copied
// and saved.

#include "widgets/QrCodeDialog.h"

#include "tests/qr/QrDecode.h"
#include "widgets/MessageBoxes.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace lintervale;
using namespace lintervale::testing;

namespace {

const QString kLink = "magnet:?xt=urn:btih:dcba21db3f1ef7fabb0ab4a331cb9a852ac71374&dn=Tom%20%"
                      "26%20Jerry&tr=http://tracker.example/announce.php?passkey=a%2Bb";

std::vector<std::string> Read(const QImage& Image) {
    const QImage grey = Image.convertToFormat(QImage::Format_Grayscale8);
    TGreyImage pixels;
    pixels.Width = grey.width();
    pixels.Height = grey.height();
    for (int y = 0; y < grey.height(); ++y) {
        const uchar* line = grey.constScanLine(y);
        pixels.Pixels.insert(pixels.Pixels.end(), line, line + grey.width());
    }
    return ReadQrCodes(pixels);
}

std::vector<std::string> Texts(const QString& Text) {
    return {Text.toStdString()};
}

} // namespace

class QrCodeDialogTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void showsTheCodeWithAQuietZoneInWholePixels();
    void copyAndSaveGiveTheCodeShown();
    void aFailedSaveSaysSo();
    void aLinkTooLongSaysSo();

private:
    template <typename T> T* child(QrCodeDialog& Dialog, const char* Name) {
        T* found = Dialog.findChild<T*>(Name);
        if (found == nullptr) {
            qFatal("no child %s", Name);
        }
        return found;
    }
    QTemporaryDir m_Folder;
};

void QrCodeDialogTest::init() {
    MessageBoxes::setTestMode(true);
    QGuiApplication::clipboard()->clear();
}

void QrCodeDialogTest::cleanup() {
    MessageBoxes::setTestMode(false);
}

void QrCodeDialogTest::showsTheCodeWithAQuietZoneInWholePixels() {
    QrCodeDialog dialog(kLink, "Tom & Jerry");
    const QImage image = dialog.image();
    QVERIFY(!image.isNull());
    const int module = dialog.modulePixels();
    QVERIFY(module >= QrCodeDialog::kMinModulePixels * image.devicePixelRatio());
    QVERIFY(module <= QrCodeDialog::kMaxModulePixels * image.devicePixelRatio() + 1);
    const std::optional<TQrCode> code = EncodeQrCode(kLink.toStdString());
    QVERIFY(code);
    QCOMPARE(code->Level, TQrLevel::H);
    const int side = (code->Width + 2 * kQrQuietZone) * module;
    QCOMPARE(image.size(), QSize(side, side));
    // Four light modules all round, then the finder pattern's dark corner, each module a
    // square of one colour.
    const int quiet = kQrQuietZone * module;
    for (int i = 0; i < side; ++i) {
        QCOMPARE(qGray(image.pixel(i, quiet - 1)), 255);
        QCOMPARE(qGray(image.pixel(quiet - 1, i)), 255);
        QCOMPARE(qGray(image.pixel(side - quiet, i)), 255);
    }
    QCOMPARE(qGray(image.pixel(quiet, quiet)), 0);
    QCOMPARE(image, QrCodeDialog::renderCode(*code, module));
    QCOMPARE(Read(image), Texts(kLink));

    const auto* shown = child<QLabel>(dialog, "QrImage");
    QCOMPARE(shown->pixmap().toImage().convertToFormat(QImage::Format_Grayscale8), image);
    auto* text = child<QPlainTextEdit>(dialog, "LinkText");
    QCOMPARE(text->toPlainText(), kLink);
    QVERIFY(text->isReadOnly());
    QVERIFY(text->textInteractionFlags() & Qt::TextSelectableByMouse);
}

void QrCodeDialogTest::copyAndSaveGiveTheCodeShown() {
    QrCodeDialog dialog(kLink, "a/b");
    QTest::mouseClick(child<QPushButton>(dialog, "CopyImageButton"), Qt::LeftButton);
    const QImage copied = QGuiApplication::clipboard()->image();
    QCOMPARE(copied.size(), dialog.image().size());
    QCOMPARE(Read(copied), Texts(kLink));

    // Cancelled: nothing written, nothing said. Then saved where the dialog was told.
    auto* save = child<QPushButton>(dialog, "SavePngButton");
    QTest::mouseClick(save, Qt::LeftButton);
    QVERIFY(QDir(m_Folder.path()).isEmpty());
    // A file name that holds markup shows as it is.
    const QString path = m_Folder.filePath("<b>code.png");
    MessageBoxes::setNextFiles({path});
    QTest::mouseClick(save, Qt::LeftButton);
    QVERIFY(MessageBoxes::shown().isEmpty());
    const QImage saved(path, "PNG");
    QCOMPARE(saved.size(), dialog.image().size());
    QCOMPARE(Read(saved), Texts(kLink));
    QCOMPARE(child<QLabel>(dialog, "StatusLabel")->text(),
             "Saved to " + QDir::toNativeSeparators(path) + ".");
    QCOMPARE(child<QLabel>(dialog, "StatusLabel")->textFormat(), Qt::PlainText);
}

void QrCodeDialogTest::aFailedSaveSaysSo() {
    QrCodeDialog dialog(kLink, "n");
    // A missing folder, and a folder where the file should be, which stays as it was.
    const QString taken = m_Folder.filePath("taken.png");
    QVERIFY(QDir().mkdir(taken));
    for (const QString& path : {m_Folder.filePath("no such folder/code.png"), taken}) {
        MessageBoxes::clearShown();
        MessageBoxes::setNextFiles({path});
        QTest::mouseClick(child<QPushButton>(dialog, "SavePngButton"), Qt::LeftButton);
        QCOMPARE(MessageBoxes::shown().size(), 1);
        QVERIFY(MessageBoxes::shown()[0].startsWith("Could not save the image to " +
                                                    QDir::toNativeSeparators(path) + "."));
    }
    QVERIFY(QFileInfo(taken).isDir());
}

void QrCodeDialogTest::aLinkTooLongSaysSo() {
    QString link = kLink;
    while (link.size() <= 3000) {
        link += "&tr=udp://tracker.example.org:1337/announce";
    }
    QrCodeDialog dialog(link, "n");
    QVERIFY(dialog.image().isNull());
    QCOMPARE(child<QLabel>(dialog, "QrImage")->text(), QString(kQrTooLongText));
    QVERIFY(!child<QPushButton>(dialog, "CopyImageButton")->isEnabled());
    QVERIFY(!child<QPushButton>(dialog, "SavePngButton")->isEnabled());
    QCOMPARE(child<QPlainTextEdit>(dialog, "LinkText")->toPlainText(), link);
}

QTEST_MAIN(QrCodeDialogTest)
#include "QrCodeDialogTest.moc"
