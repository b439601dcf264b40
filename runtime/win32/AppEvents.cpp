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

bool isPushButton(HWND w)
{
    wchar_t name[16] = {};
    const LONG type = GetWindowLongW(w, GWL_STYLE) & BS_TYPEMASK;
    return w && GetClassNameW(w, name, 16) && _wcsicmp(name, L"BUTTON") == 0 &&
           (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON);
}

// As in any Windows dialog, the focused push button is the default one, and
// it alone is drawn so; our window, which is no dialog, has Windows move the
// default style with the focus but never give the old one up.
BOOL CALLBACK defaultIfFocused(HWND w, LPARAM focus)
{
    if (isPushButton(w)) {
        const LONG style = w == reinterpret_cast<HWND>(focus) ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
        if ((GetWindowLongW(w, GWL_STYLE) & BS_TYPEMASK) != style)
            SendMessageW(w, BM_SETSTYLE, style, TRUE);
    }
    return TRUE;
}

// Return presses the focused push button, and Space does as the button
// itself makes it; a held key's repeats press nothing, so that the button the
// focus moves on to (Make Logo hands it to Ok Logo) is not pressed too.
bool pressedByKey(const MSG& msg)
{
    if (msg.message != WM_KEYDOWN || (msg.wParam != VK_RETURN && msg.wParam != VK_SPACE))
        return false;
    if (msg.lParam & (1 << 30))  // a repeat
        return true;
    if (msg.wParam != VK_RETURN || !isPushButton(GetFocus()))
        return false;
    HWND button = GetFocus();
    SendMessageW(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
    return true;
}
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
    if (HWND dialog = dialogOf(msg); dialog && (pressedByKey(msg) || IsDialogMessageW(dialog, &msg))) {
        EnumChildWindows(dialog, defaultIfFocused, reinterpret_cast<LPARAM>(GetFocus()));
        return;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

void EventQueued() {}

}  // namespace rt::backend
