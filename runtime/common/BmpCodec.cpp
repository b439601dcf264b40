#include "BmpCodec.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>

namespace rt {

namespace {
constexpr std::uint32_t kBlack = 0xFF000000;

std::uint32_t u16(const std::string& b, std::size_t at)
{
    return std::uint32_t(std::uint8_t(b[at])) | std::uint32_t(std::uint8_t(b[at + 1])) << 8;
}
std::uint32_t u32(const std::string& b, std::size_t at) { return u16(b, at) | u16(b, at + 2) << 16; }

// One colour channel of a 16- or 32-bit pixel, scaled to 0..255.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint64_t max = 0;

    explicit Channel(std::uint32_t m) : mask(m)
    {
        if (mask) {
            shift = std::countr_zero(mask);
            max = mask >> shift;
        }
    }
    std::uint32_t value(std::uint32_t pixel) const
    {
        if (!mask)
            return 0;
        // In 64 bits: a channel may be as wide as the whole 32-bit pixel.
        return std::uint32_t((std::uint64_t((pixel & mask) >> shift) * 255 + max / 2) / max);
    }
};

struct Layout {
    std::size_t offset = 0;
    std::size_t headerSize = 0;
    long long width = 0;
    long long height = 0;  // rows; the file's sign says the order
    bool topDown = false;
    unsigned bits = 0;
    unsigned compression = 0;
    unsigned colorsUsed = 0;
    bool core = false;  // the OS/2 header: 3-byte palette entries
};

// The headers, checked before any pixel is allocated.
std::optional<Layout> readLayout(const std::string& b)
{
    const std::size_t size = b.size();
    if (size < 26 || b[0] != 'B' || b[1] != 'M')
        return std::nullopt;
    Layout l;
    l.offset = u32(b, 10);
    l.headerSize = u32(b, 14);
    // Checked before any sum with it: 14 + headerSize would wrap where size_t has 32 bits.
    if (l.headerSize > size - 14)
        return std::nullopt;
    unsigned planes = 0;
    long long height = 0;
    if (l.headerSize == 12) {
        l.core = true;
        l.width = std::int16_t(u16(b, 18));
        height = std::int16_t(u16(b, 20));
        planes = u16(b, 22);
        l.bits = u16(b, 24);
    } else if (l.headerSize >= 40 && size >= 54) {
        l.width = std::int32_t(u32(b, 18));
        height = std::int32_t(u32(b, 22));
        planes = u16(b, 26);
        l.bits = u16(b, 28);
        l.compression = u32(b, 30);
        l.colorsUsed = u32(b, 46);
    } else {
        return std::nullopt;
    }
    l.topDown = height < 0;
    l.height = l.topDown ? -height : height;
    if (l.width <= 0 || l.height == 0 || planes != 1)
        return std::nullopt;
    if (l.width > kMaxBmpSide || l.height > kMaxBmpSide || l.width * l.height > kMaxBmpPixels)
        return std::nullopt;
    if (l.offset < 14 + l.headerSize || l.offset >= size)
        return std::nullopt;
    const unsigned bits = l.bits;
    switch (l.compression) {
    case 0:
        if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
            return std::nullopt;
        break;
    case 1: // RLE8
    case 2: // RLE4
        if (bits != (l.compression == 1 ? 8u : 4u) || l.topDown)
            return std::nullopt;
        break;
    case 3: // bit fields
    case 6: // bit fields with alpha
        if (bits != 16 && bits != 32)
            return std::nullopt;
        break;
    default: return std::nullopt;
    }
    return l;
}

// The colour table of a picture of 8 bits or fewer; nothing when the file is too short for it.
std::optional<std::vector<std::uint32_t>> readPalette(const std::string& b, const Layout& l)
{
    const std::size_t most = std::size_t(1) << l.bits;
    const std::size_t count = l.colorsUsed == 0 ? most : std::min<std::size_t>(l.colorsUsed, most);
    const std::size_t entry = l.core ? 3 : 4;
    const std::size_t at = 14 + l.headerSize;
    if (at + count * entry > b.size())
        return std::nullopt;
    std::vector<std::uint32_t> palette;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t e = at + i * entry;
        palette.push_back(kBlack | std::uint32_t(std::uint8_t(b[e + 2])) << 16 |
                          std::uint32_t(std::uint8_t(b[e + 1])) << 8 | std::uint8_t(b[e]));
    }
    return palette;
}

// Red, green, blue and alpha masks of a 16- or 32-bit picture.
std::optional<std::array<std::uint32_t, 4>> readMasks(const std::string& b, const Layout& l)
{
    if (l.compression == 0)
        return l.bits == 16 ? std::array<std::uint32_t, 4>{0x7C00, 0x03E0, 0x001F, 0}
                            : std::array<std::uint32_t, 4>{0xFF0000, 0x00FF00, 0x0000FF, 0};
    // In the header from version 2 on; after a 40-byte header otherwise.
    const bool alpha = l.compression == 6 || l.headerSize >= 56;
    const std::size_t need = 54 + (alpha ? 16 : 12);
    if (b.size() < need || (l.headerSize == 40 && l.offset < need))
        return std::nullopt;
    return std::array<std::uint32_t, 4>{u32(b, 54), u32(b, 58), u32(b, 62), alpha ? u32(b, 66) : 0u};
}

void decodeRle(const std::string& b, const Layout& l, const std::vector<std::uint32_t>& palette, Pixels& p)
{
    const auto colour = [&](unsigned index) { return index < palette.size() ? palette[index] : kBlack; };
    const bool four = l.compression == 2;
    long long x = 0, row = 0;  // row 0 is the bottom one
    std::size_t i = l.offset;
    const auto put = [&](unsigned index) {
        if (x < p.width && row < p.height)
            p.at(int(x), int(p.height - 1 - row)) = colour(index);
        ++x;
    };
    while (i + 1 < b.size() && row < p.height) {
        const unsigned count = std::uint8_t(b[i]);
        const unsigned value = std::uint8_t(b[i + 1]);
        i += 2;
        if (count > 0) {
            for (unsigned k = 0; k < count; ++k)
                put(four ? (k % 2 == 0 ? value >> 4 : value & 15) : value);
        } else if (value == 0) {
            x = 0;
            ++row;
        } else if (value == 1) {
            break;
        } else if (value == 2) {
            if (i + 1 >= b.size())
                break;
            x += std::uint8_t(b[i]);
            row += std::uint8_t(b[i + 1]);
            i += 2;
        } else {
            const std::size_t bytes = four ? (value + 1) / 2 : value;
            if (i + bytes > b.size())
                break;
            for (unsigned k = 0; k < value; ++k) {
                const unsigned byte = std::uint8_t(b[i + (four ? k / 2 : k)]);
                put(four ? (k % 2 == 0 ? byte >> 4 : byte & 15) : byte);
            }
            i += bytes + (bytes % 2);  // runs are padded to a whole word
        }
    }
}

bool decodePlain(const std::string& b, const Layout& l, const std::vector<std::uint32_t>& palette,
                 const std::array<std::uint32_t, 4>& masks, Pixels& p)
{
    const std::size_t rowBytes = (std::size_t(l.width) * l.bits + 31) / 32 * 4;
    if (b.size() - l.offset < rowBytes * std::size_t(l.height))
        return false;
    const Channel red(masks[0]), green(masks[1]), blue(masks[2]), alpha(masks[3]);
    const auto colour = [&](unsigned index) { return index < palette.size() ? palette[index] : kBlack; };
    for (long long r = 0; r < l.height; ++r) {
        const unsigned char* row = reinterpret_cast<const unsigned char*>(b.data()) + l.offset + r * rowBytes;
        const int y = int(l.topDown ? r : l.height - 1 - r);
        for (int x = 0; x < p.width; ++x) {
            std::uint32_t& out = p.at(x, y);
            switch (l.bits) {
            case 1: out = colour((row[x / 8] >> (7 - x % 8)) & 1); break;
            case 4: out = colour(x % 2 == 0 ? row[x / 2] >> 4 : row[x / 2] & 15); break;
            case 8: out = colour(row[x]); break;
            case 24: out = kBlack | std::uint32_t(row[3 * x + 2]) << 16 | std::uint32_t(row[3 * x + 1]) << 8 | row[3 * x]; break;
            default: {
                const std::uint32_t v = l.bits == 16 ? std::uint32_t(row[2 * x] | row[2 * x + 1] << 8)
                                                     : std::uint32_t(row[4 * x]) | std::uint32_t(row[4 * x + 1]) << 8 |
                                                           std::uint32_t(row[4 * x + 2]) << 16 |
                                                           std::uint32_t(row[4 * x + 3]) << 24;
                const std::uint32_t a = masks[3] ? alpha.value(v) : 255;
                out = a << 24 | red.value(v) << 16 | green.value(v) << 8 | blue.value(v);
            }
            }
        }
    }
    return true;
}

void put32(std::string& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(char((v >> (8 * i)) & 0xFF));
}
void put16(std::string& out, std::uint32_t v)
{
    out.push_back(char(v & 0xFF));
    out.push_back(char((v >> 8) & 0xFF));
}
}  // namespace

std::optional<Pixels> DecodeBmp(const std::string& bytes)
{
    const auto layout = readLayout(bytes);
    if (!layout)
        return std::nullopt;
    const Layout& l = *layout;
    std::vector<std::uint32_t> palette;
    std::array<std::uint32_t, 4> masks{};
    if (l.bits <= 8) {
        auto read = readPalette(bytes, l);
        if (!read)
            return std::nullopt;
        palette = std::move(*read);
    } else if (l.bits != 24) {
        const auto read = readMasks(bytes, l);
        if (!read)
            return std::nullopt;
        masks = *read;
    }
    Pixels p;
    p.width = int(l.width);
    p.height = int(l.height);
    p.rgb.assign(std::size_t(l.width) * std::size_t(l.height), kBlack);
    if (l.compression == 1 || l.compression == 2)
        decodeRle(bytes, l, palette, p);
    else if (!decodePlain(bytes, l, palette, masks, p))
        return std::nullopt;

    if (l.bits == 1) {
        p.bits = 1;
        palette.resize(2, kBlack);
    } else if (l.bits <= 8) {
        // Black stands for pixels no colour of the palette was given to: the
        // palette gets it where it lacks it, or the picture becomes true colour.
        p.bits = 8;
        const bool hasBlack = std::find(palette.begin(), palette.end(), kBlack) != palette.end();
        if (!hasBlack && std::find(p.rgb.begin(), p.rgb.end(), kBlack) != p.rgb.end()) {
            if (palette.size() < 256)
                palette.push_back(kBlack);
            else
                p.bits = 24;
        }
    } else {
        p.bits = l.bits == 32 && masks[3] ? 32 : 24;
    }
    if (p.bits <= 8)
        p.palette = std::move(palette);
    return p;
}

std::string EncodeBmp24(const Pixels& p)
{
    constexpr std::uint32_t kDotsPerMeter = 3780;  // 96 dots per inch
    const std::size_t rowBytes = (std::size_t(p.width) * 3 + 3) / 4 * 4;
    const std::size_t dataSize = rowBytes * std::size_t(p.height);
    std::string out;
    out.reserve(54 + dataSize);
    out += "BM";
    put32(out, std::uint32_t(54 + dataSize));
    put32(out, 0);
    put32(out, 54);
    put32(out, 40);
    put32(out, std::uint32_t(p.width));
    put32(out, std::uint32_t(p.height));  // positive: rows from the bottom
    put16(out, 1);
    put16(out, 24);
    put32(out, 0);
    put32(out, std::uint32_t(dataSize));
    put32(out, kDotsPerMeter);
    put32(out, kDotsPerMeter);
    put32(out, 0);
    put32(out, 0);
    for (int y = p.height - 1; y >= 0; --y) {
        const std::size_t start = out.size();
        for (int x = 0; x < p.width; ++x) {
            const std::uint32_t c = p.at(x, y);
            out.push_back(char(c & 0xFF));
            out.push_back(char((c >> 8) & 0xFF));
            out.push_back(char((c >> 16) & 0xFF));
        }
        out.append(rowBytes - (out.size() - start), '\0');
    }
    return out;
}

}  // namespace rt
