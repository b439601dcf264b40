// Pictures on Qt: a bitmap's picture as Qt paints it.
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

}  // namespace backend
}  // namespace rt
