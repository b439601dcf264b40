#include "Gra.h"

#include <algorithm>
#include <stdexcept>

#include "PixelOps.h"
#include "XbpPresSpace.h"
#include "Misuse.h"

namespace rt {

namespace {
// The marker bit keeps every colour number, black's too, above 0.
constexpr ColorNumber kColorFlag = 0x1000000;
constexpr ColorNumber kChannelMask = 0xFFFFFF;

RGB interpolate(const std::vector<RGB>& colors, int column, int width)
{
    const int n = static_cast<int>(colors.size());
    const int span = width - 1;
    if (n == 1 || span == 0)
        return colors.front();
    // Which pair of colours the column lies between, and how far along: num / span.
    const int scaled = column * (n - 1);
    const int k = std::min(scaled / span, n - 2);
    const int num = scaled - k * span;
    RGB out{};
    for (int c = 0; c < 3; ++c) {
        const int a = colors[k][c];
        const int b = colors[k + 1][c];
        out[c] = (2 * (a * (span - num) + b * num) + span) / (2 * span);
    }
    return out;
}
}  // namespace

std::optional<ColorNumber> GraMakeRGBColor(const RGB& aRGB)
{
    for (const int v : aRGB)
        if (v < 0 || v > 255)
            return std::nullopt;
    return kColorFlag | aRGB[0] | (aRGB[1] << 8) | (aRGB[2] << 16);
}

std::optional<ColorNumber> GraMakeRGBColor(const std::optional<RGB>& aRGB)
{
    return aRGB ? GraMakeRGBColor(*aRGB) : std::nullopt;
}

std::optional<RGB> GraGetRGBIntensity(ColorNumber nColor)
{
    if (nColor == 0)
        return RGB{0, 0, 0};
    if ((nColor & ~kChannelMask) != kColorFlag)
        return std::nullopt;
    return RGB{static_cast<int>(nColor & 0xFF), static_cast<int>((nColor >> 8) & 0xFF),
               static_cast<int>((nColor >> 16) & 0xFF)};
}

std::string GraColorWords(ColorNumber nColor)
{
    const auto rgb = GraGetRGBIntensity(nColor);
    if (!rgb)
        return {};
    return "red " + std::to_string((*rgb)[0]) + ", green " + std::to_string((*rgb)[1]) + ", blue " +
           std::to_string((*rgb)[2]);
}

void GraGradient(XbpPresSpace& oPS, const Pos& aStart, const std::vector<Pos>& aEnds,
                 const std::vector<std::optional<ColorNumber>>& aColors, int nType)
{
    if (nType != 0)
        throw Misuse("GraGradient: only gradient type 0 is supported");
    if (aEnds.empty() || aColors.empty())
        throw Misuse("GraGradient: an end point and a colour are needed");
    std::vector<RGB> colors;
    for (const auto& c : aColors) {
        const auto rgb = c ? GraGetRGBIntensity(*c) : std::nullopt;
        if (!rgb)
            throw Misuse("GraGradient: a colour is no colour number");
        colors.push_back(*rgb);
    }
    const auto device = oPS.device();
    const Rect rect{std::min(aStart[0], aEnds[0][0]), std::min(aStart[1], aEnds[0][1]),
                    std::max(aStart[0], aEnds[0][0]), std::max(aStart[1], aEnds[0][1])};
    Pixels bar;
    bar.width = rect[2] - rect[0];
    bar.height = rect[3] - rect[1];
    if (!device || bar.isNull())
        return;
    // One row of colours, which every row repeats.
    std::vector<std::uint32_t> row;
    for (int x = 0; x < bar.width; ++x) {
        const RGB c = interpolate(colors, x, bar.width);
        row.push_back(0xFF000000 | std::uint32_t(c[0]) << 16 | std::uint32_t(c[1]) << 8 | std::uint32_t(c[2]));
    }
    bar.rgb.reserve(std::size_t(bar.width) * std::size_t(bar.height));
    for (int y = 0; y < bar.height; ++y)
        bar.rgb.insert(bar.rgb.end(), row.begin(), row.end());
    device->writePixels(AreaOf(rect, device->deviceHeight()), bar, false);
}

void GraBitBlt(XbpPresSpace& oTarget, XbpPresSpace& oSource, const Rect& aTargetRect,
               const Rect& aSourceRect)
{
    const auto target = oTarget.device();
    const auto source = oSource.device();
    if (!target || !source)
        return;
    const Area from = AreaOf(aSourceRect, source->deviceHeight());
    const Area to = AreaOf(aTargetRect, target->deviceHeight());
    if (from.isEmpty() || to.isEmpty())
        return;
    const Pixels pixels = source->readPixels(from);
    if (!pixels.isNull())
        target->writePixels(to, pixels, false);
}

}  // namespace rt
