#pragma once
// Colour numbers, the gradient fill and the bit-block transfer.

#include <optional>
#include <string>
#include <vector>

#include "Types.h"

namespace rt {

class XbpPresSpace;

// The colour number of {r, g, b}; greater than 0 for every colour, black
// included. Nothing when an intensity lies outside 0..255.
std::optional<ColorNumber> GraMakeRGBColor(const RGB& aRGB);
std::optional<ColorNumber> GraMakeRGBColor(const std::optional<RGB>& aRGB);

// {r, g, b} of a colour number; {0, 0, 0} for 0; nothing for a value that is
// no colour number.
std::optional<RGB> GraGetRGBIntensity(ColorNumber nColor);
// A colour as a screen reader says it: "red R, green G, blue B"; empty for a
// number that is no colour.
std::string GraColorWords(ColorNumber nColor);

// Type 0: a horizontal linear gradient through the colours over the rectangle
// between the start point and the first end point (far edges exclusive). The
// first column is exactly the first colour, the last exactly the last one, the
// columns between are interpolated per channel and rounded to nearest.
void GraGradient(XbpPresSpace& oPS, const Pos& aStart, const std::vector<Pos>& aEnds,
                 const std::vector<std::optional<ColorNumber>>& aColors, int nType);

// Copies the source rectangle into the target rectangle, scaling where their
// sizes differ. Lower-left coordinates, far edges exclusive.
void GraBitBlt(XbpPresSpace& oTarget, XbpPresSpace& oSource, const Rect& aTargetRect,
               const Rect& aSourceRect);

}  // namespace rt
