#pragma once
// Something a presentation space draws on: a window's picture or a bitmap.
// Coordinates here are Qt's (top-left origin); the callers convert.

class QImage;
class QRect;

namespace rt {

class Device {
public:
    virtual ~Device() = default;
    virtual int deviceHeight() const = 0;
    // The pixels inside r, in logical pixels; a null image when there are none.
    virtual QImage readPixels(const QRect& r) const = 0;
    // Puts image into target, scaled to it; smooth filtering when asked.
    virtual void writePixels(const QRect& target, const QImage& image, bool smooth) = 0;
};

}  // namespace rt
