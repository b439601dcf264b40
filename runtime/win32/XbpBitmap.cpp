#include "XbpBitmap.h"

#include <algorithm>
#include <stdexcept>

#include "BmpCodec.h"
#include "System.h"
#include "Win32.h"
#include "XbpPresSpace.h"

namespace rt {

namespace {
Area areaOf(const Rect& r, int deviceHeight) { return {r[0], deviceHeight - r[3], r[2] - r[0], r[3] - r[1]}; }

std::uint32_t nearest(std::uint32_t c, const std::vector<std::uint32_t>& palette)
{
    std::uint32_t best = palette.front();
    long bestDistance = -1;
    for (const std::uint32_t p : palette) {
        const long dr = long((c >> 16) & 0xFF) - long((p >> 16) & 0xFF);
        const long dg = long((c >> 8) & 0xFF) - long((p >> 8) & 0xFF);
        const long db = long(c & 0xFF) - long(p & 0xFF);
        const long d = dr * dr + dg * dg + db * db;
        if (bestDistance < 0 || d < bestDistance) {
            best = p;
            bestDistance = d;
            if (d == 0)
                break;
        }
    }
    return best;
}

// The whole file, or nothing when it cannot be read or is too long for a BMP of ours.
}  // namespace

XbpBitmap::XbpBitmap() : image_(std::make_unique<Pixels>()) {}
XbpBitmap::~XbpBitmap() = default;

void XbpBitmap::make(int nWidth, int nHeight, std::optional<int> nPlanes, std::optional<int> nBits)
{
    planes_ = std::max(1, nPlanes.value_or(1));
    onScreen_.reset();
    *image_ = Pixels();
    if (nWidth <= 0 || nHeight <= 0 || static_cast<long long>(nWidth) * nHeight > kMaxBmpPixels)
        return;
    Pixels& p = *image_;
    p.width = nWidth;
    p.height = nHeight;
    const int bits = nBits.value_or(kDefaultBits);
    p.bits = bits == 1 || bits == 8 || bits == 32 ? bits : 24;
    if (p.bits == 1)
        p.palette = {0xFFFFFFFF, 0xFF000000};
    if (p.bits == 8)
        for (std::uint32_t i = 0; i < 256; ++i)
            p.palette.push_back(0xFF000000 | i << 16 | i << 8 | i);
    p.rgb.assign(std::size_t(nWidth) * std::size_t(nHeight), 0xFFFFFFFF);
}

int XbpBitmap::bits() const { return image_->isNull() ? kDefaultBits : image_->bits; }

void XbpBitmap::draw(XbpPresSpace& oPS, const Rect& aTargetRect, std::optional<Rect> aSourceRect,
                     std::optional<int> nRop, int nMode) const
{
    if (aSourceRect || nRop || nMode != 3)
        throw std::invalid_argument("XbpBitmap::draw: only the whole image in mode 3 is supported");
    const auto device = oPS.device();
    if (!device || image_->isNull())
        return;
    device->writePixels(areaOf(aTargetRect, device->deviceHeight()), *image_, true);
}

bool XbpBitmap::adopt(Pixels pixels)
{
    *image_ = std::move(pixels);
    onScreen_.reset();
    return true;
}

Failure XbpBitmap::saveFile(const std::string& cFile) const
{
    if (image_->isNull())
        return "the bitmap holds no image";
    return WriteFileAtomic(cFile, EncodeBmp24(*image_));
}

bool XbpBitmap::isEmpty() const { return image_->isNull(); }
int XbpBitmap::width() const { return image_->width; }
int XbpBitmap::height() const { return image_->height; }

std::shared_ptr<void> XbpBitmap::onScreen() const
{
    if (!onScreen_)
        onScreen_ = dibSection(*image_);
    return onScreen_;
}

int XbpBitmap::deviceHeight() const { return image_->height; }

Pixels XbpBitmap::readPixels(const Area& r) const { return cropped(*image_, r, 0); }

void XbpBitmap::writePixels(const Area& target, const Pixels& image, bool smooth)
{
    if (image_->isNull() || image.isNull() || target.isEmpty())
        return;
    const Pixels scaled = scaledPixels(image, target.width, target.height, smooth);
    Pixels& p = *image_;
    for (int y = 0; y < scaled.height; ++y)
        for (int x = 0; x < scaled.width; ++x) {
            const int tx = target.x + x, ty = target.y + y;
            if (tx >= 0 && tx < p.width && ty >= 0 && ty < p.height)
                p.at(tx, ty) = scaled.at(x, y) | 0xFF000000;
        }
    onScreen_.reset();
    if (p.bits > 8)
        return;
    // A palette picture keeps to its palette: each pixel takes the nearest
    // colour of it, so that the source's own colours come back exact; a
    // picture drawn whole takes the palette of what was drawn, when it has one.
    const bool whole = target.x <= 0 && target.y <= 0 && target.x + target.width >= p.width &&
                       target.y + target.height >= p.height;
    std::vector<std::uint32_t> table = whole && !image.palette.empty() ? std::vector<std::uint32_t>() : p.palette;
    for (const std::uint32_t c : image.palette)
        if (table.size() < (p.bits == 1 ? 2u : 256u) && std::find(table.begin(), table.end(), c) == table.end())
            table.push_back(c);
    if (table.empty())
        return;
    p.palette = table;
    for (auto& c : p.rgb)
        c = nearest(c, table);
}

}  // namespace rt
