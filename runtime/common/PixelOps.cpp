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

namespace {
// The source pixels that one target column (or row) covers, each with its
// weight: the part of it under the target pixel, or for an enlargement the
// blend of the two neighbours of its centre.
struct Span {
    int first = 0, count = 0;  // source indexes first .. first + count - 1, clamped when read
    int whole = 0, wholeEnd = 0;  // the run of those covered whole (weight 1), summed exactly
    double total = 0;
    std::vector<double> weights;
};

std::vector<Span> spansOf(int target, int source)
{
    const double s = double(source) / target;
    std::vector<Span> spans;
    spans.resize(std::size_t(target));
    for (int t = 0; t < target; ++t) {
        double a = t * s, b = (t + 1) * s;
        if (s < 1) {
            a = std::clamp((t + 0.5) * s - 0.5, 0.0, source - 1.0);
            b = a + 1;
        }
        Span& span = spans[std::size_t(t)];
        span.first = int(a);
        for (int i = int(a); i < int(std::ceil(b)); ++i)
            span.weights.push_back(std::max(0.0, std::min(b, i + 1.0) - std::max(a, double(i))));
        span.count = int(span.weights.size());
        span.whole = span.wholeEnd = 0;
        for (int i = 0; i < span.count; ++i) {
            span.total += span.weights[std::size_t(i)];
            if (span.weights[std::size_t(i)] == 1.0 && span.first + i < source) {
                if (span.whole == span.wholeEnd)
                    span.whole = span.wholeEnd = i;
                if (span.wholeEnd == i)
                    span.wholeEnd = i + 1;
            }
        }
    }
    return spans;
}
}  // namespace

Pixels ScaledPixels(const Pixels& image, int width, int height, bool smooth)
{
    if (image.width == width && image.height == height)
        return image;
    if (image.isNull() || width <= 0 || height <= 0)
        return Pixels();
    Pixels out;
    out.width = width;
    out.height = height;
    out.bits = image.bits;
    out.palette = image.palette;
    out.rgb.resize(std::size_t(width) * std::size_t(height));
    const double sx = double(image.width) / width, sy = double(image.height) / height;
    if (!smooth) {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                out.at(x, y) = image.at(std::min(int(x * sx), image.width - 1), std::min(int(y * sy), image.height - 1));
        return out;
    }
    // Each target pixel the weighted average of the source area it covers:
    // each target row's source rows summed first (those covered whole as
    // integers, red with blue and alpha with green in the two halves of a
    // word, 256 rows at a time so that neither carries into the other), then
    // across each target column. The same sums as pixel by pixel, in a
    // fraction of the time.
    const std::vector<Span> columns = spansOf(width, image.width), rows = spansOf(height, image.height);
    const std::size_t w = std::size_t(image.width);
    std::vector<double> down(w * 4);
    std::vector<std::uint32_t> rb(w), ag(w);
    for (int y = 0; y < height; ++y) {
        const Span& row = rows[std::size_t(y)];
        std::fill(down.begin(), down.end(), 0.0);
        const auto line = [&image, w](int j) { return &image.rgb[std::size_t(std::min(j, image.height - 1)) * w]; };
        for (int from = row.whole; from < row.wholeEnd; from += 256) {
            std::fill(rb.begin(), rb.end(), 0u);
            std::fill(ag.begin(), ag.end(), 0u);
            for (int j = from; j < std::min(from + 256, row.wholeEnd); ++j) {
                const std::uint32_t* source = line(row.first + j);
                for (std::size_t x = 0; x < w; ++x) {
                    rb[x] += source[x] & 0x00FF00FF;
                    ag[x] += (source[x] >> 8) & 0x00FF00FF;
                }
            }
            for (std::size_t x = 0; x < w; ++x) {
                down[x * 4] += rb[x] & 0xFFFF;
                down[x * 4 + 1] += ag[x] & 0xFFFF;
                down[x * 4 + 2] += rb[x] >> 16;
                down[x * 4 + 3] += ag[x] >> 16;
            }
        }
        for (int j = 0; j < row.count; ++j) {
            const double wy = row.weights[std::size_t(j)];
            if ((j >= row.whole && j < row.wholeEnd) || wy <= 0)
                continue;
            const std::uint32_t* source = line(row.first + j);
            for (std::size_t x = 0; x < w; ++x)
                for (int k = 0; k < 4; ++k)
                    down[x * 4 + std::size_t(k)] += wy * ((source[x] >> (8 * k)) & 0xFF);
        }
        for (int x = 0; x < width; ++x) {
            const Span& column = columns[std::size_t(x)];
            double sum[4]{};
            for (int i = 0; i < column.count; ++i) {
                const std::size_t at = std::size_t(std::min(column.first + i, image.width - 1)) * 4;
                for (int k = 0; k < 4; ++k)
                    sum[k] += column.weights[std::size_t(i)] * down[at + std::size_t(k)];
            }
            const double total = row.total * column.total;
            std::uint32_t c = 0;
            for (int k = 0; k < 4; ++k)
                c |= std::uint32_t(std::clamp(int(sum[k] / (total > 0 ? total : 1) + 0.5), 0, 255)) << (8 * k);
            out.at(x, y) = c;
        }
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

CaptionInk CaptionInkOver(int greyBehind)
{
    constexpr std::uint32_t kFrameAlpha = 140u << 24;
    const bool dark = greyBehind < 128;
    const std::uint32_t ink = dark ? 0xFFFFFFFF : 0xFF000000, outline = dark ? 0xFF000000 : 0xFFFFFFFF;
    return {ink, outline, (ink & 0x00FFFFFF) | kFrameAlpha};
}

std::uint32_t BlendedOver(std::uint32_t argb, int grey)
{
    const std::uint32_t a = argb >> 24;
    const auto channel = [a, grey](std::uint32_t c) { return (c * a + std::uint32_t(grey) * (255 - a)) / 255; };
    return 0xFF000000 | channel((argb >> 16) & 0xFF) << 16 | channel((argb >> 8) & 0xFF) << 8 | channel(argb & 0xFF);
}

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
