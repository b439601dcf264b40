#include "AppEvents.h"
#include "Backend.h"
#include "Win32.h"

namespace rt::backend {

namespace {
// Our top-level window that a message is for, whose controls the keyboard
// moves between (Tab, Shift+Tab, Space) as in a dialog.
HWND dialogOf(const MSG& msg)
{
    HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    wchar_t name[64] = {};
    if (!root || !GetClassNameW(root, name, 64) || std::wstring(name) != kDialogClass)
        return nullptr;
    return root;
}

// Moving the focus with the keyboard makes the button it lands on the
// default one, and our window, which is no dialog, never has the old one
// given up: two buttons would look active. None is the default, as elsewhere.
BOOL CALLBACK noDefault(HWND w, LPARAM)
{
    if ((GetWindowLongW(w, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
        SendMessageW(w, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    return TRUE;
}
void noDefaultButton(HWND dialog) { EnumChildWindows(dialog, noDefault, 0); }
}  // namespace

// One message at a time: an event is queued, if at all, while it is dispatched.
void RunUntilEventQueued()
{
    MSG msg;
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) {  // WM_QUIT, or no message queue left: the program ends
        PostAppEvent(EVENT_QUIT);
        return;
    }
    if (HWND dialog = dialogOf(msg); dialog && IsDialogMessageW(dialog, &msg)) {
        noDefaultButton(dialog);
        return;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

void EventQueued() {}

}  // namespace rt::backend
