#pragma once
// Something a presentation space draws on: a window's picture or a bitmap.
// Coordinates here are the platform's (top-left origin); the callers convert.

#include "Native.h"

namespace rt {

class Device {
public:
    virtual ~Device() = default;
    virtual int deviceHeight() const = 0;
    // The pixels inside r, in logical pixels; a null image when there are none.
    virtual NativeImage readPixels(const NativeRect& r) const = 0;
    // Puts image into target, scaled to it; smooth filtering when asked.
    virtual void writePixels(const NativeRect& target, const NativeImage& image, bool smooth) = 0;
};

}  // namespace rt
