#include "AppEvents.h"

#include <cstdio>
#include <cstdlib>
#include <deque>

#include "Backend.h"
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
}  // namespace

long AppEvent(MsgParam& mp1, MsgParam& mp2, std::shared_ptr<XbpWindow>& oXbp)
{
    auto& q = queue();
    // The close waits, in the ordinary loop and with the window whole, for
    // what was just said to be heard.
    while (q.empty() || (q.front().code == EVENT_CLOSE && backend::StillSpeaking()))
        backend::RunUntilEventQueued();
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
    backend::EventQueued();
    return true;
}

std::size_t PendingAppEvents() { return queue().size(); }

void ClearAppEvents() { queue().clear(); }

void QUIT()
{
    // The C++ streams are tied to C's, which this flushes.
    std::fflush(nullptr);
    std::_Exit(0);
}

}  // namespace rt
