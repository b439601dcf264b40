#include "XbpPushButton.h"

#include "Backend.h"
#include "Win32.h"

#include <commctrl.h>

namespace rt::backend {

namespace {
// As in any Windows dialog, the focused push button is the default one, drawn
// so from the moment it has the focus, however the focus came.
LRESULT CALLBACK defaultWhileFocused(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    if (message == WM_SETFOCUS || message == WM_KILLFOCUS)
        SendMessageW(hwnd, BM_SETSTYLE, message == WM_SETFOCUS ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
    if (message == WM_NCDESTROY)
        RemoveWindowSubclass(hwnd, defaultWhileFocused, 0);
    return DefSubclassProc(hwnd, message, wParam, lParam);
}
}  // namespace

// A native push button; its press reaches its parent as BN_CLICKED, which
// queues the activate event.
NativeWindow* MakePushButton(XbpPushButton& button, NativeWindow& parent)
{
    const DWORD style = WS_CHILD | BS_PUSHBUTTON | (button.tabStop ? WS_TABSTOP : 0);
    HWND hwnd = CreateWindowExW(0, L"BUTTON", widen(button.caption).c_str(), style, 0, 0, 0, 0, parent.hwnd,
                                reinterpret_cast<HMENU>(INT_PTR(nextControlId())), instance(), nullptr);
    SetWindowSubclass(hwnd, defaultWhileFocused, 0, 0);
    return Adopt(button, hwnd);
}

}  // namespace rt::backend
