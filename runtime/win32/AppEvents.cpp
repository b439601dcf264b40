#include "AppEvents.h"

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <iostream>

#include "Win32.h"
#include "XbpWindow.h"

namespace rt {

namespace {
struct QueuedEvent {
    long code;
    MsgParam mp1;
    MsgParam mp2;
    std::weak_ptr<XbpWindow> window;
};

std::deque<QueuedEvent>& queue()
{
    static std::deque<QueuedEvent> q;
    return q;
}

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
}  // namespace

long AppEvent(MsgParam& mp1, MsgParam& mp2, std::shared_ptr<XbpWindow>& oXbp)
{
    auto& q = queue();
    while (q.empty()) {
        MSG msg;
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {  // WM_QUIT, or no message queue left: the program ends
            PostAppEvent(EVENT_QUIT);
            break;
        }
        if (HWND dialog = dialogOf(msg); dialog && IsDialogMessageW(dialog, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    QueuedEvent e = std::move(q.front());
    q.pop_front();
    mp1 = e.mp1;
    mp2 = e.mp2;
    oXbp = e.window.lock();
    return e.code;
}

bool PostAppEvent(long nEvent, MsgParam mp1, MsgParam mp2, const std::shared_ptr<XbpWindow>& oXbp)
{
    queue().push_back({nEvent, mp1, mp2, oXbp});
    return true;
}

std::size_t PendingAppEvents() { return queue().size(); }

void ClearAppEvents() { queue().clear(); }

void QUIT()
{
    std::cout.flush();
    std::cerr.flush();
    std::fflush(nullptr);
    std::_Exit(0);
}

}  // namespace rt
