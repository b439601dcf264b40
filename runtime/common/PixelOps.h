#pragma once
// Pixel work that needs no platform: cutting, scaling, greys, and what shows
// behind a control.

#include <cstdint>
#include <memory>

#include "Pixels.h"
#include "Types.h"

namespace rt {

class XbpDrawingArea;
class XbpWindow;

// Where a control lies in its parent, from the parent's top-left corner, by its
// pos (lower-left) and size.
Area AreaInParent(const XbpWindow& window);

// A device's area from a lower-left rectangle {x1, y1, x2, y2} on a device of that height.
Area AreaOf(const Rect& r, int deviceHeight);

// The pixels inside r; where r reaches past the picture, the given colour.
Pixels Cropped(const Pixels& image, const Area& r, std::uint32_t outside);

// Pixels scaled to a size: nearest pixel, or each target pixel the average of
// the source area it covers (an enlargement blends the neighbours of its centre).
Pixels ScaledPixels(const Pixels& image, int width, int height, bool smooth);

// The picture with image put at (x, y): its alpha-0 pixels leave the picture's.
void Overlay(Pixels& picture, const Pixels& image, int x, int y);

// 0..255, weighted as the eye sees the channels.
int Grey(std::uint32_t argb);
// Black or white, whichever reads on the colour.
std::uint32_t ReadableInk(std::uint32_t background);

// A group box's caption over the logo behind it (its GreyBehind): white on
// what is dark and black on what is light, outlined in the other, so that it
// stays legible where a gradient changes under it; the frame a faint line of
// the ink (ARGB, its alpha to be blended with what lies under the line).
struct CaptionInk {
    std::uint32_t ink, outline, frame;
};
CaptionInk CaptionInkOver(int greyBehind);
// An ARGB colour blended over a plain grey, for drawing without alpha.
std::uint32_t BlendedOver(std::uint32_t argb, int grey);

// The drawing area that the window lies in (itself included), or null.
std::shared_ptr<XbpDrawingArea> DrawingAreaOf(const XbpWindow& window);
// The average grey of what shows behind r (from the window's top-left corner):
// the drawing area's bitmap where it covers r, else plain, the area's colour.
int GreyBehind(const XbpWindow& window, const Area& r, std::uint32_t plain);

}  // namespace rt
