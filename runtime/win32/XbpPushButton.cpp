#include "XbpPushButton.h"

#include "Backend.h"
#include "Win32.h"

namespace rt::backend {

// A native push button; its press reaches its parent as BN_CLICKED, which
// queues the activate event.
NativeWindow* MakePushButton(XbpPushButton& button, NativeWindow& parent)
{
    const DWORD style = WS_CHILD | BS_PUSHBUTTON | (button.tabStop ? WS_TABSTOP : 0);
    return Adopt(button, CreateWindowExW(0, L"BUTTON", widen(button.caption).c_str(), style, 0, 0, 0, 0, parent.hwnd,
                                         reinterpret_cast<HMENU>(INT_PTR(nextControlId())), instance(), nullptr));
}

}  // namespace rt::backend
