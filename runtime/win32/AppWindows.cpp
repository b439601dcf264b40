#include "AppWindows.h"

#include "AppEvents.h"
#include "Platform.h"
#include "Runtime.h"
#include "Win32.h"
#include "XbpWindow.h"

namespace rt {

namespace {
RECT workArea()
{
    RECT r{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0);
    return r;
}

}  // namespace

Size DesktopSize()
{
    const RECT r = workArea();
    return {int(r.right - r.left), int(r.bottom - r.top)};
}

void SetAppFocus(const std::shared_ptr<XbpWindow>& oXbp)
{
    HWND w = oXbp ? oXbp->widget() : nullptr;
    if (!w)
        return;
    if (!(GetWindowLongW(w, GWL_STYLE) & WS_CHILD)) {
        SetForegroundWindow(w);
        SetActiveWindow(w);
    } else {
        SetFocus(w);
    }
}

void CenterControl(const std::shared_ptr<XbpWindow>& oXbp)
{
    HWND w = oXbp ? oXbp->widget() : nullptr;
    if (!w)
        return;
    RECT r;
    GetWindowRect(w, &r);
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    RECT around;
    HWND parent = GetParent(w);
    if (GetWindowLongW(w, GWL_STYLE) & WS_CHILD) {
        GetClientRect(parent, &around);
        SetWindowPos(w, nullptr, (around.right - width) / 2, (around.bottom - height) / 2, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    around = workArea();
    SetWindowPos(w, nullptr, around.left + (around.right - around.left - width) / 2,
                 around.top + (around.bottom - around.top - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MsgBox(const std::string& cText)
{
    const auto app = AppWindow();
    runModal([&] {
        return MessageBoxW(app ? app->widget() : nullptr, widen(cText).c_str(),
                           widen(Runtime::DisplayName()).c_str(), MB_OK | MB_ICONINFORMATION);
    });
}

void modalEnded()
{
    auto back = windowOf(GetFocus());
    if (!back)
        back = AppWindow();
    PostAppEvent(EVENT_SETFOCUS, {}, {}, back);
}

}  // namespace rt
