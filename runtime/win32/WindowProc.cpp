#include "Win32.h"

#include <exception>

#include "AppEvents.h"
#include "Runtime.h"
#include "XbpDialog.h"
#include "XbpPushButton.h"
#include "XbpStatic.h"

namespace rt {

namespace {
LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
}

HINSTANCE instance() { return GetModuleHandleW(nullptr); }

void registerClasses()
{
    for (const wchar_t* name : {kDialogClass, kAreaClass, kGroupClass}) {
        WNDCLASSEXW c{};
        c.cbSize = sizeof c;
        c.lpfnWndProc = windowProc;
        c.hInstance = instance();
        c.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        c.lpszClassName = name;
        RegisterClassExW(&c);
    }
}

int nextControlId()
{
    static int id = 100;
    return id++;
}

namespace {
constexpr const wchar_t* kFontProperty = L"rt.font";
constexpr const wchar_t* kFocusProperty = L"rt.focus";

// Our three window classes share one procedure: the dialog turns a close
// request and the end of the session into events, the drawing area and the
// group box pass their buttons' presses on as events and paint their
// statics, and all of them let the background show through.
LRESULT handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SETFONT:
        SetPropW(hwnd, kFontProperty, reinterpret_cast<HANDLE>(wParam));
        return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(GetPropW(hwnd, kFontProperty));
    case WM_ERASEBKGND: paintBackdrop(hwnd, reinterpret_cast<HDC>(wParam)); return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        if (auto* group = dynamic_cast<XbpStatic*>(WindowOf(hwnd)); group && HwndOf(*group) == hwnd)
            paintGroupBox(*group, dc);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (auto* control = dynamic_cast<XbpStatic*>(WindowOf(item->hwndItem)))
            paintStatic(*control, item->hDC);
        return TRUE;
    }
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED && lParam)
            if (const auto button = std::dynamic_pointer_cast<XbpPushButton>(SharedWindowOf(reinterpret_cast<HWND>(lParam))))
                PostAppEvent(EVENT_ACTIVATE, {}, {}, button);
        return 0;
    case WM_CLOSE:
        // The program decides when it ends: the request becomes a queued event.
        if (const auto dialog = std::dynamic_pointer_cast<XbpDialog>(SharedWindowOf(hwnd)); dialog && HwndOf(*dialog) == hwnd)
            PostAppEvent(EVENT_CLOSE, {}, {}, dialog);
        return 0;
    case WM_DPICHANGED: {
        // Moved to a monitor of another DPI: the size Windows suggests, and
        // the fonts and places of everything in it at the new DPI.
        const auto* suggested = reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(hwnd, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
        relayOut(hwnd);
        setWindowIcons(hwnd);
        return 0;
    }
    case WM_SYSCOLORCHANGE:
        // A theme changed (high contrast, say): the controls learn of it, and
        // everything we draw is drawn again in its colours.
        for (HWND child = GetWindow(hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            SendMessageW(child, WM_SYSCOLORCHANGE, wParam, lParam);
        RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        return 0;
    case WM_QUERYENDSESSION: return TRUE;
    case WM_ENDSESSION:
        // The session ends: so does the program, at once, saving nothing.
        if (wParam)
            QUIT();
        return 0;
    case WM_ACTIVATE:
        // The control that had the focus gets it back when the window does.
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            SetPropW(hwnd, kFocusProperty, focus && IsChild(hwnd, focus) ? focus : nullptr);
        } else if (HWND focus = static_cast<HWND>(GetPropW(hwnd, kFocusProperty)); focus && IsWindow(focus)) {
            SetFocus(focus);
            return 0;
        }
        break;
    case WM_NCDESTROY:
        RemovePropW(hwnd, kFontProperty);
        RemovePropW(hwnd, kFocusProperty);
        RemovePropW(hwnd, kIconProperty);
        break;
    default: break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// No exception may unwind through Windows' own frames, which on i686 ends the
// program: the message gets Windows' default handling, and the error is said.
LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    try {
        return handle(hwnd, message, wParam, lParam);
    } catch (const std::exception& e) {
        Runtime::SayError(e.what());
    } catch (...) {
        Runtime::SayError("unknown error");
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

}  // namespace rt
