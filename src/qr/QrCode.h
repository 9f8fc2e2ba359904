#pragma once

// The QR code of a text, through libqrencode.
//
// The text is encoded at the highest error-correction level at which it fits (H, then Q, M,
// L), in the smallest version that holds it; libqrencode splits it into numeric,
// alphanumeric and byte segments as suits it best. A text that fits no QR code at any level
// (more than 2,953 bytes of arbitrary data; a magnet link with many trackers can be) gives
// nothing.

#include <optional>
#include <string_view>
#include <vector>

namespace lintervale {

enum class TQrLevel { L, M, Q, H };

struct TQrCode {
    int Version = 0; // 1 to 40
    int Width = 0;   // modules a side, without a quiet zone
    TQrLevel Level = TQrLevel::L;
    std::vector<unsigned char> Modules; // Width * Width, row by row: 1 dark, 0 light

    bool Dark(int X, int Y) const { return Modules[static_cast<std::size_t>(Y * Width + X)] != 0; }
};

// The quiet zone that a reader needs around the code, in modules, on each side.
inline constexpr int kQrQuietZone = 4;

// Nothing when the text is too long for any QR code; raises std::bad_alloc when memory runs
// out.
std::optional<TQrCode> EncodeQrCode(std::string_view Text);

} // namespace lintervale
