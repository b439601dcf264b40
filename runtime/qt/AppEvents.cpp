#include <QEventLoop>

#include "Backend.h"

namespace rt::backend {

namespace {
QEventLoop* waiting = nullptr;  // the loop that runs while the queue is empty
}

void RunUntilEventQueued()
{
    QEventLoop loop;
    waiting = &loop;
    loop.exec();  // EventQueued ends it
    waiting = nullptr;
}

void EventQueued()
{
    if (waiting)
        waiting->quit();
}

}  // namespace rt::backend
