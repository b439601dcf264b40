#include "Backend.h"
#include "Win32.h"
#include "XbpWindow.h"

namespace rt::backend {

namespace {
bool isChild(HWND w) { return GetWindowLongW(w, GWL_STYLE) & WS_CHILD; }
}  // namespace

// In the window's own units, at that monitor's DPI.
Size WorkAreaSize()
{
    const HMONITOR monitor = monitorInUse();
    const RECT r = workAreaOf(monitor);
    const int dpi = dpiOfMonitor(monitor);
    return {MulDiv(r.right - r.left, 96, dpi), MulDiv(r.bottom - r.top, 96, dpi)};
}

void Focus(XbpWindow& window)
{
    HWND w = HwndOf(window);
    if (!isChild(w)) {
        SetForegroundWindow(w);
        SetActiveWindow(w);
    } else {
        SetFocus(w);
    }
}

void Centre(XbpWindow& window)
{
    HWND w = HwndOf(window);
    RECT r;
    GetWindowRect(w, &r);
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    RECT around;
    if (isChild(w)) {
        GetClientRect(GetParent(w), &around);
        SetWindowPos(w, nullptr, (around.right - width) / 2, (around.bottom - height) / 2, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    HWND owner = GetWindow(w, GW_OWNER);
    around = workAreaOf(owner ? MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST) : monitorInUse());
    SetWindowPos(w, nullptr, around.left + (around.right - around.left - width) / 2,
                 around.top + (around.bottom - around.top - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

XbpWindow* FocusedWindow() { return WindowOf(GetFocus()); }

void ShowMessageBox(const std::string& title, const std::string& text, NativeWindow* owner)
{
    MessageBoxW(owner ? owner->hwnd : nullptr, widen(text).c_str(), widen(title).c_str(), MB_OK | MB_ICONINFORMATION);
}

// A message box and the colour dialog both take IDCANCEL as Cancel.
void CancelModal()
{
    if (HWND active = GetActiveWindow(); active && !WindowOf(active))
        PostMessageW(active, WM_COMMAND, IDCANCEL, 0);
}

}  // namespace rt::backend
