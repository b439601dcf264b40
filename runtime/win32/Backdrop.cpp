#include "PixelOps.h"
#include "Win32.h"
#include "XbpBitmap.h"
#include "XbpDrawingArea.h"

namespace rt {

std::uint32_t plainColour()
{
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    return 0xFF000000 | std::uint32_t(GetRValue(face)) << 16 | std::uint32_t(GetGValue(face)) << 8 | GetBValue(face);
}

void paintBackdrop(HWND hwnd, HDC dc)
{
    RECT r;
    GetClientRect(hwnd, &r);
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    XbpWindow* window = WindowOf(hwnd);
    const auto area = window ? DrawingAreaOf(*window) : nullptr;
    HWND areaHwnd = area ? HwndOf(*area) : nullptr;
    if (!areaHwnd || !area->bitmap)
        return;
    const NativeImage* image = area->bitmap->onScreen();
    if (!image)
        return;
    POINT offset{0, 0};
    MapWindowPoints(hwnd, areaHwnd, &offset, 1);
    RECT areaRect;
    GetClientRect(areaHwnd, &areaRect);
    const int dpi = dpiOf(areaHwnd);
    drawImage(dc, image, -offset.x, areaRect.bottom - scaled(image->height, dpi) - offset.y, dpi);
}

}  // namespace rt
