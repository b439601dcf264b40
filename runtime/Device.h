#pragma once
// Something a presentation space draws on: a window's picture or a bitmap.
// Areas here run from the top-left corner; the callers convert.

#include "Pixels.h"

namespace rt {

class Device {
public:
    virtual ~Device() = default;
    virtual int deviceHeight() const = 0;
    // The pixels inside r, in logical pixels; none when there are none.
    virtual Pixels readPixels(const Area& r) const = 0;
    // Puts image into target, scaled to it; smoothly filtered when asked.
    virtual void writePixels(const Area& target, const Pixels& image, bool smooth) = 0;
};

}  // namespace rt
