#pragma once
// A dialog's client area: the parent of its controls; its bitmap, when set,
// is painted as the background from the lower-left corner.

#include <memory>

#include "XbpWindow.h"

namespace rt {

class XbpBitmap;

class XbpDrawingArea final : public XbpWindow {
public:
    XbpDrawingArea() = default;

    std::shared_ptr<XbpBitmap> bitmap;

    // Paints again after the bitmap changed.
    void refresh();

protected:
    NativeWindow* makeNative(NativeWindow* parent) override;
};

}  // namespace rt
