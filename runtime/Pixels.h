#pragma once
// A picture's pixels in memory, as the BMP codec reads and writes them and the
// Windows backend draws them: rows from the top, each pixel 0xAARRGGBB (alpha
// 0xFF where opaque). A palette picture keeps its palette, and every picture
// says how many bits a pixel had where it came from.

#include <cstdint>
#include <vector>

namespace rt {

struct Pixels {
    int width = 0;
    int height = 0;
    int bits = 24;                       // 1, 8, 24 or 32, as the picture was made or read
    std::vector<std::uint32_t> rgb;      // width * height pixels 0xAARRGGBB, rows from the top
    std::vector<std::uint32_t> palette;  // the colours a 1- or 8-bit picture may use

    bool isNull() const { return width <= 0 || height <= 0; }
    std::uint32_t at(int x, int y) const { return rgb[std::size_t(y) * std::size_t(width) + std::size_t(x)]; }
    std::uint32_t& at(int x, int y) { return rgb[std::size_t(y) * std::size_t(width) + std::size_t(x)]; }
};

// A rectangle of a device, from its top-left corner.
struct Area {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool isEmpty() const { return width <= 0 || height <= 0; }
};

}  // namespace rt
