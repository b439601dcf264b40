#include "PixelOps.h"

#include <algorithm>
#include <cmath>

#include "XbpBitmap.h"
#include "XbpDrawingArea.h"

namespace rt {

Area AreaInParent(const XbpWindow& window)
{
    const auto parent = window.parent();
    const int parentHeight = parent ? parent->size()[1] : 0;
    const auto [x, y] = window.pos();
    const auto [w, h] = window.size();
    return {x, parentHeight - y - h, w, h};
}

Area AreaOf(const Rect& r, int deviceHeight) { return {r[0], deviceHeight - r[3], r[2] - r[0], r[3] - r[1]}; }

Pixels Cropped(const Pixels& image, const Area& r, std::uint32_t outside)
{
    Pixels out;
    if (image.isNull() || r.isEmpty())
        return out;
    out.width = r.width;
    out.height = r.height;
    out.rgb.assign(std::size_t(r.width) * std::size_t(r.height), outside);
    for (int y = 0; y < r.height; ++y)
        for (int x = 0; x < r.width; ++x)
            if (r.x + x >= 0 && r.x + x < image.width && r.y + y >= 0 && r.y + y < image.height)
                out.at(x, y) = image.at(r.x + x, r.y + y);
    return out;
}

Pixels ScaledPixels(const Pixels& image, int width, int height, bool smooth)
{
    if (image.width == width && image.height == height)
        return image;
    Pixels out;
    out.width = width;
    out.height = height;
    out.bits = image.bits;
    out.palette = image.palette;
    if (image.isNull() || width <= 0 || height <= 0)
        return Pixels();
    out.rgb.resize(std::size_t(width) * std::size_t(height));
    const double sx = double(image.width) / width;
    const double sy = double(image.height) / height;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            if (!smooth) {
                out.at(x, y) = image.at(std::min(int(x * sx), image.width - 1), std::min(int(y * sy), image.height - 1));
                continue;
            }
            double x0 = x * sx, x1 = (x + 1) * sx, y0 = y * sy, y1 = (y + 1) * sy;
            if (sx < 1) {
                const double c = (x + 0.5) * sx - 0.5;
                x0 = std::clamp(c, 0.0, image.width - 1.0);
                x1 = x0 + 1;
            }
            if (sy < 1) {
                const double c = (y + 0.5) * sy - 0.5;
                y0 = std::clamp(c, 0.0, image.height - 1.0);
                y1 = y0 + 1;
            }
            double sum[4]{}, total = 0;
            for (int iy = int(y0); iy < std::min(int(std::ceil(y1)), image.height); ++iy) {
                const double wy = std::min(y1, iy + 1.0) - std::max(y0, double(iy));
                for (int ix = int(x0); ix < int(std::ceil(x1)); ++ix) {
                    const double w = wy * (std::min(x1, ix + 1.0) - std::max(x0, double(ix)));
                    if (w <= 0)
                        continue;
                    const std::uint32_t c = image.at(std::min(ix, image.width - 1), iy);
                    for (int k = 0; k < 4; ++k)
                        sum[k] += w * ((c >> (8 * k)) & 0xFF);
                    total += w;
                }
            }
            std::uint32_t c = 0;
            for (int k = 0; k < 4; ++k)
                c |= std::uint32_t(std::clamp(int(sum[k] / (total > 0 ? total : 1) + 0.5), 0, 255)) << (8 * k);
            out.at(x, y) = c;
        }
    return out;
}

void Overlay(Pixels& picture, const Pixels& image, int x0, int y0)
{
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const int tx = x0 + x, ty = y0 + y;
            if (tx >= 0 && tx < picture.width && ty >= 0 && ty < picture.height && image.at(x, y) >> 24)
                picture.at(tx, ty) = image.at(x, y);
        }
}

int Grey(std::uint32_t c) { return int(((c >> 16) & 0xFF) * 11 + ((c >> 8) & 0xFF) * 16 + (c & 0xFF) * 5) / 32; }

std::uint32_t ReadableInk(std::uint32_t background) { return Grey(background) < 128 ? 0xFFFFFFFF : 0xFF000000; }

std::shared_ptr<XbpDrawingArea> DrawingAreaOf(const XbpWindow& window)
{
    // A window on its way out (painted while it is destroyed) lies in none.
    std::shared_ptr<XbpWindow> w = std::const_pointer_cast<XbpWindow>(window.weak_from_this().lock());
    for (; w; w = w->parent())
        if (auto area = std::dynamic_pointer_cast<XbpDrawingArea>(w))
            return area;
    return nullptr;
}

int GreyBehind(const XbpWindow& window, const Area& r, std::uint32_t plain)
{
    const auto area = DrawingAreaOf(window);
    if (!area || r.isEmpty())
        return Grey(plain);
    // The window's top-left corner in the area, from the lower-left positions.
    int left = 0, top = 0;
    for (auto w = window.weak_from_this().lock(); w && w != area; w = w->parent()) {
        left += AreaInParent(*w).x;
        top += AreaInParent(*w).y;
    }
    const Pixels* image = area->bitmap && !area->bitmap->isEmpty() ? &area->bitmap->pixels() : nullptr;
    const int imageTop = area->size()[1] - (image ? image->height : 0);
    long long sum = 0;
    for (int y = top + r.y; y < top + r.y + r.height; ++y)
        for (int x = left + r.x; x < left + r.x + r.width; ++x) {
            const int iy = y - imageTop;
            const bool onImage = image && x >= 0 && x < image->width && iy >= 0 && iy < image->height;
            sum += Grey(onImage ? image->at(x, iy) : plain);
        }
    return int(sum / (static_cast<long long>(r.width) * r.height));
}

}  // namespace rt
