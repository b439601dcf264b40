#include "XbpDrawingArea.h"

#include "Backend.h"
#include "Win32.h"

namespace rt::backend {

// Its background, the bitmap from the lower-left corner, is painted as every
// transparent window's backdrop.
NativeWindow* MakeDrawingArea(XbpDrawingArea& area, NativeWindow& parent)
{
    return Adopt(area, CreateWindowExW(WS_EX_CONTROLPARENT, kAreaClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN,
                                       0, 0, 0, 0, parent.hwnd, nullptr, instance(), nullptr));
}

}  // namespace rt::backend
