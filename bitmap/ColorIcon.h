#pragma once

#include <memory>

#include "Types.h"
#include "XbpBitmap.h"
#include "XbpStatic.h"

// Copies aRect {x1, y1, x2, y2} of what oSourceArea shows into the one capture
// bitmap kept for the whole run, and returns that bitmap: every call returns
// the same object, refilled.
std::shared_ptr<rt::XbpBitmap> ColorIcon(rt::XbpStatic& oSourceArea, const rt::Rect& aRect);
