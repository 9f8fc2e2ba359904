#include "tests/qr/QrDecode.h"

#include <memory>
#include <zbar.h>

namespace lintervale::testing {

using namespace zbar;

TGreyImage GreyImageOf(const TQrCode& Code, int Scale) {
    TGreyImage image;
    image.Width = image.Height = (Code.Width + 2 * kQrQuietZone) * Scale;
    image.Pixels.assign(static_cast<std::size_t>(image.Width) * image.Height, 255);
    for (int y = 0; y < image.Height; ++y) {
        for (int x = 0; x < image.Width; ++x) {
            const int mx = x / Scale - kQrQuietZone;
            const int my = y / Scale - kQrQuietZone;
            if (mx >= 0 && my >= 0 && mx < Code.Width && my < Code.Width && Code.Dark(mx, my)) {
                image.Pixels[static_cast<std::size_t>(y) * image.Width + x] = 0;
            }
        }
    }
    return image;
}

std::vector<std::string> ReadQrCodes(const TGreyImage& Image) {
    const std::unique_ptr<zbar_image_scanner_t, void (*)(zbar_image_scanner_t*)> scanner(
        zbar_image_scanner_create(), zbar_image_scanner_destroy);
    zbar_image_scanner_set_config(scanner.get(), ZBAR_NONE, ZBAR_CFG_ENABLE, 0);
    zbar_image_scanner_set_config(scanner.get(), ZBAR_QRCODE, ZBAR_CFG_ENABLE, 1);
    zbar_image_scanner_set_config(scanner.get(), ZBAR_QRCODE, ZBAR_CFG_BINARY, 1);
    const std::unique_ptr<zbar_image_t, void (*)(zbar_image_t*)> image(zbar_image_create(),
                                                                       zbar_image_destroy);
    zbar_image_set_format(image.get(), zbar_fourcc('Y', '8', '0', '0'));
    zbar_image_set_size(image.get(), static_cast<unsigned>(Image.Width),
                        static_cast<unsigned>(Image.Height));
    zbar_image_set_data(image.get(), Image.Pixels.data(), Image.Pixels.size(), nullptr);
    std::vector<std::string> texts;
    if (zbar_scan_image(scanner.get(), image.get()) > 0) {
        for (const zbar_symbol_t* symbol = zbar_image_first_symbol(image.get()); symbol != nullptr;
             symbol = zbar_symbol_next(symbol)) {
            texts.emplace_back(zbar_symbol_get_data(symbol), zbar_symbol_get_data_length(symbol));
        }
    }
    return texts;
}

} // namespace lintervale::testing
