// The window's own units are pixels at 96 dots per inch; Windows gives each
// monitor its own. The newer calls are looked up, not linked, so that the
// program still starts on the Windows versions before them.
#include "Win32.h"

namespace rt {

namespace {
int systemDpi()
{
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}
}  // namespace

int dpiOf(HWND hwnd)
{
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = systemEntry<GetDpiForWindowFn>(systemLibrary(L"user32.dll"), "GetDpiForWindow");
    if (hwnd && getDpiForWindow)
        if (const UINT dpi = getDpiForWindow(hwnd))
            return int(dpi);
    return systemDpi();
}

int dpiOfMonitor(HMONITOR monitor)
{
    // shcore's GetDpiForMonitor, MDT_EFFECTIVE_DPI (0).
    using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    static const auto getDpiForMonitor =
        systemEntry<GetDpiForMonitorFn>(systemLibrary(L"shcore.dll"), "GetDpiForMonitor");
    UINT x = 0, y = 0;
    if (monitor && getDpiForMonitor && SUCCEEDED(getDpiForMonitor(monitor, 0, &x, &y)) && y)
        return int(y);
    return systemDpi();
}

// Where Windows itself puts a new window: on the monitor of the window in the
// foreground, else on the one under the pointer.
HMONITOR monitorInUse()
{
    if (HWND foreground = GetForegroundWindow())
        if (HMONITOR m = MonitorFromWindow(foreground, MONITOR_DEFAULTTONULL))
            return m;
    POINT pointer{0, 0};
    GetCursorPos(&pointer);
    return MonitorFromPoint(pointer, MONITOR_DEFAULTTOPRIMARY);
}

RECT workAreaOf(HMONITOR monitor)
{
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (monitor && GetMonitorInfoW(monitor, &info))
        return info.rcWork;
    RECT r{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0);
    return r;
}

}  // namespace rt
