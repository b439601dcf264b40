#include "XbpPushButton.h"

#include "Win32.h"

namespace rt {

// A native push button; its press reaches its parent as BN_CLICKED, which
// queues the activate event.
NativeWindow XbpPushButton::makeWidget(NativeWindow parentWidget)
{
    const DWORD style = WS_CHILD | BS_PUSHBUTTON | (tabStop ? WS_TABSTOP : 0);
    return CreateWindowExW(0, L"BUTTON", widen(caption).c_str(), style, 0, 0, 0, 0, parentWidget,
                           reinterpret_cast<HMENU>(INT_PTR(nextControlId())), instance(), nullptr);
}

}  // namespace rt
