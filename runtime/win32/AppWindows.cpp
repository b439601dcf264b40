#include "Backend.h"
#include "Win32.h"
#include "XbpWindow.h"

namespace rt::backend {

namespace {
RECT workArea()
{
    RECT r{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0);
    return r;
}

bool isChild(HWND w) { return GetWindowLongW(w, GWL_STYLE) & WS_CHILD; }
}  // namespace

Size WorkAreaSize()
{
    const RECT r = workArea();
    return {int(r.right - r.left), int(r.bottom - r.top)};
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
    around = workArea();
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
