#include "AppWindows.h"

#include "AppEvents.h"
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

class Desktop final : public XbpWindow {
public:
    Desktop()
    {
        const RECT r = workArea();
        init(nullptr, nullptr, Pos{0, 0}, Size{int(r.right - r.left), int(r.bottom - r.top)});
    }

protected:
    NativeWindow makeWidget(NativeWindow) override { return nullptr; }
};

std::weak_ptr<XbpWindow>& appWindow()
{
    static std::weak_ptr<XbpWindow> w;
    return w;
}
}  // namespace

std::shared_ptr<XbpWindow> AppDesktop()
{
    static const auto desktop = std::make_shared<Desktop>();
    return desktop;
}

void SetAppWindow(const std::shared_ptr<XbpWindow>& oXbp) { appWindow() = oXbp; }

std::shared_ptr<XbpWindow> AppWindow() { return appWindow().lock(); }

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

// Windows has no signals: the end of the session ends the program at once.
void RequestQuit() { PostAppEvent(EVENT_QUIT); }

}  // namespace rt
