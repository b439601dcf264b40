#include "Gra.h"
#include "GradientBar.h"
#include "Win32.h"
#include "XbpPresSpace.h"

namespace rt {

namespace {
Area areaOf(const Rect& r, int deviceHeight) { return {r[0], deviceHeight - r[3], r[2] - r[0], r[3] - r[1]}; }
}  // namespace

void GraGradient(XbpPresSpace& oPS, const Pos& aStart, const std::vector<Pos>& aEnds,
                 const std::vector<std::optional<ColorNumber>>& aColors, int nType)
{
    const auto bar = MakeGradientBar(oPS, aStart, aEnds, aColors, nType);
    if (!bar)
        return;
    Pixels image;
    image.width = bar->rect[2] - bar->rect[0];
    image.height = bar->rect[3] - bar->rect[1];
    image.rgb.reserve(std::size_t(image.width) * std::size_t(image.height));
    for (int y = 0; y < image.height; ++y)
        for (const RGB& c : bar->row)
            image.rgb.push_back(0xFF000000 | std::uint32_t(c[0]) << 16 | std::uint32_t(c[1]) << 8 | std::uint32_t(c[2]));
    bar->device->writePixels(areaOf(bar->rect, bar->device->deviceHeight()), image, false);
}

void GraBitBlt(XbpPresSpace& oTarget, XbpPresSpace& oSource, const Rect& aTargetRect,
               const Rect& aSourceRect)
{
    const auto target = oTarget.device();
    const auto source = oSource.device();
    if (!target || !source)
        return;
    const Area from = areaOf(aSourceRect, source->deviceHeight());
    const Area to = areaOf(aTargetRect, target->deviceHeight());
    if (from.isEmpty() || to.isEmpty())
        return;
    const Pixels pixels = source->readPixels(from);
    if (!pixels.isNull())
        target->writePixels(to, pixels, false);
}

}  // namespace rt
