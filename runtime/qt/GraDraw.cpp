#include <QImage>
#include <algorithm>

#include "Gra.h"
#include "GradientBar.h"
#include "QtConvert.h"
#include "XbpPresSpace.h"

namespace rt {

void GraGradient(XbpPresSpace& oPS, const Pos& aStart, const std::vector<Pos>& aEnds,
                 const std::vector<std::optional<ColorNumber>>& aColors, int nType)
{
    const auto bar = MakeGradientBar(oPS, aStart, aEnds, aColors, nType);
    if (!bar)
        return;
    const int width = bar->rect[2] - bar->rect[0];
    const int height = bar->rect[3] - bar->rect[1];
    QImage image(width, height, QImage::Format_RGB32);
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(0));
    for (int x = 0; x < width; ++x)
        row[x] = qRgb(bar->row[x][0], bar->row[x][1], bar->row[x][2]);
    for (int y = 1; y < height; ++y)
        std::copy_n(row, width, reinterpret_cast<QRgb*>(image.scanLine(y)));
    bar->device->writePixels(qtRect(bar->rect, bar->device->deviceHeight()), image, false);
}

void GraBitBlt(XbpPresSpace& oTarget, XbpPresSpace& oSource, const Rect& aTargetRect,
               const Rect& aSourceRect)
{
    const auto target = oTarget.device();
    const auto source = oSource.device();
    if (!target || !source)
        return;
    const QRect from = qtRect(aSourceRect, source->deviceHeight());
    const QRect to = qtRect(aTargetRect, target->deviceHeight());
    if (from.isEmpty() || to.isEmpty())
        return;
    const QImage pixels = source->readPixels(from);
    if (!pixels.isNull())
        target->writePixels(to, pixels, false);
}

}  // namespace rt
