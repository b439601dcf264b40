#include "XbpDrawingArea.h"

#include "Win32.h"

namespace rt {

// Its background, the bitmap from the lower-left corner, is painted as every
// transparent window's backdrop.
NativeWindow XbpDrawingArea::makeWidget(NativeWindow parentWidget)
{
    return CreateWindowExW(WS_EX_CONTROLPARENT, kAreaClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                           0, 0, parentWidget, nullptr, instance(), nullptr);
}

void XbpDrawingArea::refresh()
{
    if (widget())
        RedrawWindow(widget(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

}  // namespace rt
