#include "BMP2BMP.h"

#include "XbpPresSpace.h"

using namespace rt;

std::shared_ptr<XbpBitmap> BMP2BMP(const std::shared_ptr<XbpBitmap>& oBMP, const Size& aXbpSize)
{
    const int nWidth = aXbpSize[0];
    const int nHeight = aXbpSize[1];
    std::shared_ptr<XbpBitmap> oRet;
    if (nHeight > 0) {
        const auto& oHuge = oBMP;
        const int nBits = oBMP->bits();
        const int nPlanes = oBMP->planes();
        const auto oTiny = XbpBitmap::New();
        oTiny->create();
        if (nBits > 1 || nPlanes > 1)
            oTiny->make(nWidth, nHeight, nPlanes, nBits);
        else
            oTiny->make(nWidth, nHeight);  // the default colour format
        const auto oPS = XbpPresSpace::New();
        // The space stays bound to the new bitmap, which keeps it.
        oTiny->presSpace(oPS);
        oHuge->draw(*oPS, {0, 0, nWidth, nHeight}, std::nullopt, std::nullopt, 3);
        oRet = oTiny;
    } else {
        oRet = oBMP;
    }
    return oRet;
}
