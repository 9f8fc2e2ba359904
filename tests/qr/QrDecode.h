#pragma once

// Test helpers: a QR code drawn as a grey image, and the texts that zbar reads from a grey
// image, so that a code's bytes can be checked by an independent reader.

#include "qr/QrCode.h"

#include <string>
#include <vector>

namespace lintervale::testing {

struct TGreyImage {
    int Width = 0;
    int Height = 0;
    std::vector<unsigned char> Pixels; // row by row, one byte a pixel: 0 black, 255 white
};

// The code with its quiet zone, Scale pixels a module.
TGreyImage GreyImageOf(const TQrCode& Code, int Scale);

// Every QR code that zbar finds in the image, as its raw bytes.
std::vector<std::string> ReadQrCodes(const TGreyImage& Image);

} // namespace lintervale::testing
