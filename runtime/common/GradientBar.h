#pragma once
// What a type-0 gradient fill draws, worked out once for every backend: the
// device, the rectangle (lower-left, far edges exclusive) and one row of
// colours, which every row of the rectangle repeats.

#include <memory>
#include <optional>
#include <vector>

#include "Types.h"

namespace rt {

class Device;
class XbpPresSpace;

struct GradientBar {
    std::shared_ptr<Device> device;
    Rect rect;
    std::vector<RGB> row;
};

// Nothing when there is nothing to draw (no device, an empty rectangle);
// throws std::invalid_argument for arguments no fill can take.
std::optional<GradientBar> MakeGradientBar(XbpPresSpace& oPS, const Pos& aStart, const std::vector<Pos>& aEnds,
                                           const std::vector<std::optional<ColorNumber>>& aColors, int nType);

}  // namespace rt
