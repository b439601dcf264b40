#include "AppEvents.h"

#include <QEventLoop>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <iostream>

#include "XbpWindow.h"

namespace rt {

namespace {
struct QueuedEvent {
    long code;
    MsgParam mp1;
    MsgParam mp2;
    std::weak_ptr<XbpWindow> window;
};

struct Queue {
    std::deque<QueuedEvent> events;
    QEventLoop* waiting = nullptr;  // the loop AppEvent runs while the queue is empty
};

Queue& queue()
{
    static Queue q;
    return q;
}
}  // namespace

long AppEvent(MsgParam& mp1, MsgParam& mp2, std::shared_ptr<XbpWindow>& oXbp)
{
    Queue& q = queue();
    while (q.events.empty()) {
        QEventLoop loop;
        q.waiting = &loop;
        loop.exec();  // PostAppEvent ends it
        q.waiting = nullptr;
    }
    QueuedEvent e = std::move(q.events.front());
    q.events.pop_front();
    mp1 = e.mp1;
    mp2 = e.mp2;
    oXbp = e.window.lock();
    return e.code;
}

bool PostAppEvent(long nEvent, MsgParam mp1, MsgParam mp2, const std::shared_ptr<XbpWindow>& oXbp)
{
    Queue& q = queue();
    q.events.push_back({nEvent, mp1, mp2, oXbp});
    if (q.waiting)
        q.waiting->quit();
    return true;
}

std::size_t PendingAppEvents() { return queue().events.size(); }

void ClearAppEvents() { queue().events.clear(); }

void QUIT()
{
    std::cout.flush();
    std::cerr.flush();
    std::fflush(nullptr);
    std::_Exit(0);
}

}  // namespace rt
