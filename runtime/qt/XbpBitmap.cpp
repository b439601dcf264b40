// Pictures on Qt: a bitmap's picture as Qt paints it, and Qt's own scaling.
#include <algorithm>

#include "Backend.h"
#include "QtConvert.h"
#include "QtNative.h"

namespace rt {

void DropNativeImage::operator()(NativeImage* native) const { delete native; }

namespace backend {

NativeImage* MakeImage(const Pixels& image)
{
    if (image.isNull())
        return nullptr;
    return new NativeImage{qtImage(image)};
}

Pixels Scaled(const Pixels& image, int width, int height, bool smooth)
{
    if (image.width == width && image.height == height)
        return image;
    if (image.isNull() || width <= 0 || height <= 0)
        return Pixels();
    return pixelsOf(qtImage(image).scaled(width, height, Qt::IgnoreAspectRatio,
                                          smooth ? Qt::SmoothTransformation : Qt::FastTransformation));
}

}  // namespace backend
}  // namespace rt
