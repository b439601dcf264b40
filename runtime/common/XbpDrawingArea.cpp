#include "XbpDrawingArea.h"

#include "Backend.h"

namespace rt {

NativeWindow* XbpDrawingArea::makeNative(NativeWindow* parent)
{
    return parent ? backend::MakeDrawingArea(*this, *parent) : nullptr;
}

void XbpDrawingArea::refresh()
{
    if (native())
        backend::Repaint(*this);
}

}  // namespace rt
