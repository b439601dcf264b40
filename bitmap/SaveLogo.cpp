#include "SaveLogo.h"

#include <string>

using namespace rt;

Failure SaveLogo(const std::shared_ptr<XbpBitmap>& oBitmap)
{
    const std::string cSavePic = "LOGO.BMP";
    // No logo made in this run: keep the last run's file rather than lose it.
    if (!oBitmap)
        return Succeeded();
    // saveFile renames a complete new file over the old one, so the old file
    // is not erased first: a failed save leaves it whole.
    return oBitmap->saveFile(cSavePic);
}
