// What the Win32 backend does for every kind of window.
#include <utility>

#include "Backend.h"
#include "PixelOps.h"
#include "Win32.h"
#include "XbpWindow.h"

#include <commctrl.h>

namespace rt {

namespace {
constexpr const wchar_t* kWindowProperty = L"rt.window";

// A control takes its parent's font unless it names its own.
void takeParentFont(HWND hwnd)
{
    if (HWND parent = GetParent(hwnd))
        if (const auto font = SendMessageW(parent, WM_GETFONT, 0, 0))
            SendMessageW(hwnd, WM_SETFONT, WPARAM(font), FALSE);
}
}  // namespace

HWND HwndOf(const XbpWindow& window) { return window.native() ? window.native()->hwnd : nullptr; }

XbpWindow* WindowOf(HWND w)
{
    for (; w; w = GetParent(w))
        if (auto* window = static_cast<XbpWindow*>(GetPropW(w, kWindowProperty)))
            return window;
    return nullptr;
}

std::shared_ptr<XbpWindow> SharedWindowOf(HWND hwnd)
{
    // A window on its way out (its messages while it is destroyed) is no one's.
    XbpWindow* w = WindowOf(hwnd);
    return w ? w->weak_from_this().lock() : nullptr;
}

NativeWindow* Adopt(XbpWindow& window, HWND hwnd)
{
    if (!hwnd)
        return nullptr;
    SetPropW(hwnd, kWindowProperty, &window);
    takeParentFont(hwnd);
    answerScreenReaders(hwnd);
    return new NativeWindow{hwnd, &window, {}, {}};
}

void DropNativeWindow::operator()(NativeWindow* native) const
{
    // A parent's window may have taken ours with it already.
    HWND w = native->hwnd;
    if (w && IsWindow(w) && GetPropW(w, kWindowProperty) == native->owner) {
        RemovePropW(w, kWindowProperty);
        DestroyWindow(w);
    }
    delete native;
}

void relayOut(HWND hwnd)
{
    if (XbpWindow* window = WindowOf(hwnd); window && HwndOf(*window) == hwnd)
        backend::ApplyPresParams(*window);
    for (HWND child = GetWindow(hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (auto* window = static_cast<XbpWindow*>(GetPropW(child, kWindowProperty))) {
            takeParentFont(child);
            backend::PlaceControl(*window);
        }
        relayOut(child);
    }
    InvalidateRect(hwnd, nullptr, TRUE);
}

namespace backend {

void PlaceControl(XbpWindow& window)
{
    const Area a = AreaInParent(window);
    HWND w = HwndOf(window);
    const int dpi = dpiOf(w);
    MoveWindow(w, scaled(a.x, dpi), scaled(a.y, dpi), scaled(a.width, dpi), scaled(a.height, dpi), FALSE);
}

// The buttons' system colours are the platform's own; a transparent
// background is what our statics and group box paint anyway.
void ApplyPresParams(XbpWindow& window)
{
    for (const PresParam& p : window.presParams())
        if (p.id == PP_FONT)
            if (const auto* text = std::get_if<std::string>(&p.value))
                SendMessageW(HwndOf(window), WM_SETFONT, WPARAM(fontFromName(*text, dpiOf(HwndOf(window)))), FALSE);
}

void SetVisible(XbpWindow& window, bool visible)
{
    HWND w = HwndOf(window);
    const bool child = GetWindowLongW(w, GWL_STYLE) & WS_CHILD;
    ShowWindow(w, !visible ? SW_HIDE : child ? SW_SHOWNA : SW_SHOW);
}

void Repaint(XbpWindow& window)
{
    RedrawWindow(HwndOf(window), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// A static's text is its name as well, for tools that read a window's text.
void SpokenAs(XbpWindow& window, const std::string& name, const std::string& description)
{
    NativeWindow* native = window.native();
    std::wstring spokenName = widen(name), spokenDescription = widen(description);
    if (!native || (native->spokenName == spokenName && native->spokenDescription == spokenDescription))
        return;
    native->spokenName = std::move(spokenName);
    native->spokenDescription = std::move(spokenDescription);
    wchar_t className[16] = {};
    if (!name.empty() && GetClassNameW(native->hwnd, className, 16) && std::wstring(className) == L"Static")
        SetWindowTextW(native->hwnd, native->spokenName.c_str());
    spokenChanged(native->hwnd);
}

// A tooltip window of its own, owned by the control's top-level window, which
// takes it along when it goes.
void SetToolTip(XbpWindow& window, const std::string& text)
{
    HWND control = HwndOf(window), top = GetAncestor(control, GA_ROOT);
    HWND tip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, top, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    std::wstring wide = widen(text);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = top;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = wide.data();
    SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageW(tip, TTM_SETMAXTIPWIDTH, 0, MulDiv(320, dpiOf(top), 96));
}

}  // namespace backend
}  // namespace rt
