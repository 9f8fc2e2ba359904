#include "qr/QrCode.h"

#include <cerrno>
#include <memory>
#include <new>
#include <qrencode.h>
#include <string>

namespace lintervale {

namespace {

// The most that any QR code holds: 7,089 digits. A longer text is refused before libqrencode
// would split it into segments.
constexpr std::size_t kMostCharacters = 7089;

struct TFree {
    void operator()(QRcode* Code) const { QRcode_free(Code); }
};
using TCodePtr = std::unique_ptr<QRcode, TFree>;

TCodePtr Encode(const std::string& Text, QRecLevel Level) {
    errno = 0;
    // A NUL byte would end a C string early: such a text goes whole in byte mode.
    if (Text.find('\0') != std::string::npos) {
        return TCodePtr(QRcode_encodeData(static_cast<int>(Text.size()),
                                          reinterpret_cast<const unsigned char*>(Text.data()), 0,
                                          Level));
    }
    return TCodePtr(QRcode_encodeString(Text.c_str(), 0, Level, QR_MODE_8, 1));
}

} // namespace

std::optional<TQrCode> EncodeQrCode(std::string_view Text) {
    if (Text.size() > kMostCharacters) {
        return std::nullopt;
    }
    const std::string text(Text);
    for (const TQrLevel level : {TQrLevel::H, TQrLevel::Q, TQrLevel::M, TQrLevel::L}) {
        const TCodePtr code = Encode(text, static_cast<QRecLevel>(static_cast<int>(level)));
        if (code == nullptr) {
            if (errno == ENOMEM) {
                throw std::bad_alloc();
            }
            continue; // ERANGE: too long at this level
        }
        TQrCode result;
        result.Version = code->version;
        result.Width = code->width;
        result.Level = level;
        const std::size_t count = static_cast<std::size_t>(code->width) * code->width;
        result.Modules.resize(count);
        // Bit 0 of each byte is the module's colour; the other bits say what the module is
        // part of.
        for (std::size_t i = 0; i < count; ++i) {
            result.Modules[i] = code->data[i] & 1;
        }
        return result;
    }
    return std::nullopt;
}

} // namespace lintervale
