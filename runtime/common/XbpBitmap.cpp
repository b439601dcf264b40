#include "XbpBitmap.h"

#include <algorithm>
#include <stdexcept>

#include "Backend.h"
#include "BmpCodec.h"
#include "PixelOps.h"
#include "System.h"
#include "XbpPresSpace.h"
#include "Misuse.h"

namespace rt {

namespace {
constexpr std::uint32_t kWhite = 0xFFFFFFFF;

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
}  // namespace

std::shared_ptr<XbpBitmap> XbpBitmap::New() { return std::make_shared<XbpBitmap>(); }

XbpBitmap::XbpBitmap() = default;
XbpBitmap::~XbpBitmap() = default;

void XbpBitmap::create() {}

void XbpBitmap::make(int nWidth, int nHeight, std::optional<int> nPlanes, std::optional<int> nBits)
{
    planes_ = std::max(1, nPlanes.value_or(1));
    image_ = Pixels();
    changed();
    if (nWidth <= 0 || nHeight <= 0 || static_cast<long long>(nWidth) * nHeight > kMaxBmpPixels)
        return;
    image_.width = nWidth;
    image_.height = nHeight;
    const int bits = nBits.value_or(kDefaultBits);
    image_.bits = bits == 1 || bits == 8 || bits == 32 ? bits : 24;
    if (image_.bits == 1)
        image_.palette = {kWhite, 0xFF000000};
    if (image_.bits == 8)
        for (std::uint32_t i = 0; i < 256; ++i)
            image_.palette.push_back(0xFF000000 | i << 16 | i << 8 | i);
    image_.rgb.assign(std::size_t(nWidth) * std::size_t(nHeight), kWhite);
}

int XbpBitmap::bits() const { return isEmpty() ? kDefaultBits : image_.bits; }

int XbpBitmap::planes() const { return isEmpty() ? 1 : planes_; }

void XbpBitmap::presSpace(const std::shared_ptr<XbpPresSpace>& oPS)
{
    ps_ = oPS;
    if (oPS)
        oPS->bind(shared_from_this());
}

void XbpBitmap::draw(XbpPresSpace& oPS, const Rect& aTargetRect, std::optional<Rect> aSourceRect,
                     std::optional<int> nRop, int nMode) const
{
    if (aSourceRect || nRop || nMode != 3)
        throw Misuse("XbpBitmap::draw: only the whole image in mode 3 is supported");
    const auto device = oPS.device();
    if (!device || isEmpty())
        return;
    device->writePixels(AreaOf(aTargetRect, device->deviceHeight()), image_, true);
}

Failure XbpBitmap::loadFile(const std::string& cFile)
{
    image_ = Pixels();
    planes_ = 1;
    changed();
    std::string bytes;
    if (Failure f = ReadWholeFile(cFile, kMaxBmpFileBytes, bytes); f.failed())
        return f;
    auto pixels = DecodeBmp(bytes);
    if (!pixels)
        return "not a BMP file that can be read";
    image_ = std::move(*pixels);
    return Succeeded();
}

Failure XbpBitmap::saveFile(const std::string& cFile) const
{
    if (isEmpty())
        return "the bitmap holds no image";
    return WriteFileAtomic(cFile, EncodeBmp24(image_));
}

NativeImage* XbpBitmap::onScreen() const
{
    if (!onScreen_ && !isEmpty())
        onScreen_.reset(backend::MakeImage(image_));
    return onScreen_.get();
}

Pixels XbpBitmap::readPixels(const Area& r) const { return Cropped(image_, r, 0); }

void XbpBitmap::writePixels(const Area& target, const Pixels& image, bool smooth)
{
    if (isEmpty() || image.isNull() || target.isEmpty())
        return;
    Pixels scaled = ScaledPixels(image, target.width, target.height, smooth);
    for (auto& c : scaled.rgb)
        c |= 0xFF000000;
    Overlay(image_, scaled, target.x, target.y);
    changed();
    if (image_.bits > 8)
        return;
    // A palette picture keeps to its palette: each pixel takes the nearest
    // colour of it, so that the source's own colours come back exact; a
    // picture drawn whole takes the palette of what was drawn, when it has one.
    const bool whole = target.x <= 0 && target.y <= 0 && target.x + target.width >= image_.width &&
                       target.y + target.height >= image_.height;
    std::vector<std::uint32_t> table = whole && !image.palette.empty() ? std::vector<std::uint32_t>() : image_.palette;
    for (const std::uint32_t c : image.palette)
        if (table.size() < (image_.bits == 1 ? 2u : 256u) && std::find(table.begin(), table.end(), c) == table.end())
            table.push_back(c);
    if (table.empty())
        return;
    image_.palette = table;
    for (auto& c : image_.rgb)
        c = nearest(c, table);
}

}  // namespace rt
