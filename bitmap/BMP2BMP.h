#pragma once

#include <memory>

#include "Types.h"
#include "XbpBitmap.h"

// A copy of oBMP stretched to aXbpSize {width, height}, in the source's colour
// format; a height of 0 or less gives oBMP itself back.
std::shared_ptr<rt::XbpBitmap> BMP2BMP(const std::shared_ptr<rt::XbpBitmap>& oBMP,
                                       const rt::Size& aXbpSize);
