#include "ColorIcon.h"

#include "Gra.h"
#include "System.h"
#include "XbpPresSpace.h"

using namespace rt;

std::shared_ptr<XbpBitmap> ColorIcon(XbpStatic& oSourceArea, const Rect& aRect)
{
    static std::shared_ptr<XbpBitmap> oBitmap;  // created once, refilled by every call

    const int nSizeX = aRect[2] - aRect[0];
    const int nSizeY = aRect[3] - aRect[1];
    if (!oBitmap) {
        oBitmap = XbpBitmap::New();
        oBitmap->create();
    }
    auto oTargetPS = XbpPresSpace::New();
    oTargetPS->create();
    auto oPS = oSourceArea.lockPS();
    oBitmap->presSpace(oTargetPS);
    const int nPlanes = oBitmap->planes();
    const int nBits = oBitmap->bits();
    oBitmap->make(nSizeX, nSizeY, nPlanes, nBits);
    GraBitBlt(*oTargetPS, *oPS, {0, 0, nSizeX, nSizeY}, aRect);
    oSourceArea.unlockPS(oPS);
    Sleep(0);
    oTargetPS->destroy();
    oTargetPS.reset();
    oPS.reset();
    return oBitmap;
}
