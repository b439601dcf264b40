#pragma once
// LOGO.BMP's format, read and written by our own code on every platform, so
// that the same file gives the same picture everywhere and a saved logo has
// the same bytes everywhere.

#include <cstddef>
#include <optional>
#include <string>

#include "Pixels.h"

namespace rt {

// A logo file larger than this is not a logo: it is refused before any pixel
// is allocated, so that a hostile header cannot exhaust memory.
inline constexpr long long kMaxBmpPixels = 25LL * 1000 * 1000;
inline constexpr int kMaxBmpSide = 32768;
// A file longer than any BMP of that size is not read at all.
inline constexpr std::size_t kMaxBmpFileBytes = 160u * 1024 * 1024;

// The picture in a Windows or OS/2 BMP: 1, 4, 8, 16, 24 or 32 bits, stored
// plainly, with bit fields or RLE-compressed, bottom-up or top-down. Nothing
// for a file that is damaged, truncated, too large or no BMP. Pixels that
// compressed data never reaches, and pixels that name a colour past the
// palette, are black. Bits: 1 stays 1; 4 and 8 become 8 (with their palette,
// black added where such pixels need it); 16 and 24 become 24; 32 stays 32
// where the file has an alpha channel, else 24.
std::optional<Pixels> DecodeBmp(const std::string& bytes);

// A standard 24-bit bottom-up Windows BMP of the pixels (alpha dropped), at 96
// dots per inch.
std::string EncodeBmp24(const Pixels& pixels);

}  // namespace rt
