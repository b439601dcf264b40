#include "Gra.h"

#include <algorithm>
#include <stdexcept>

#include "GradientBar.h"
#include "XbpPresSpace.h"

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

std::optional<GradientBar> MakeGradientBar(XbpPresSpace& oPS, const Pos& aStart, const std::vector<Pos>& aEnds,
                                           const std::vector<std::optional<ColorNumber>>& aColors, int nType)
{
    if (nType != 0)
        throw std::invalid_argument("GraGradient: only gradient type 0 is supported");
    if (aEnds.empty() || aColors.empty())
        throw std::invalid_argument("GraGradient: an end point and a colour are needed");
    std::vector<RGB> colors;
    for (const auto& c : aColors) {
        const auto rgb = c ? GraGetRGBIntensity(*c) : std::nullopt;
        if (!rgb)
            throw std::invalid_argument("GraGradient: a colour is no colour number");
        colors.push_back(*rgb);
    }
    GradientBar bar;
    bar.device = oPS.device();
    bar.rect = {std::min(aStart[0], aEnds[0][0]), std::min(aStart[1], aEnds[0][1]),
                std::max(aStart[0], aEnds[0][0]), std::max(aStart[1], aEnds[0][1])};
    const int width = bar.rect[2] - bar.rect[0];
    const int height = bar.rect[3] - bar.rect[1];
    if (!bar.device || width <= 0 || height <= 0)
        return std::nullopt;
    for (int x = 0; x < width; ++x)
        bar.row.push_back(interpolate(colors, x, width));
    return bar;
}

}  // namespace rt
