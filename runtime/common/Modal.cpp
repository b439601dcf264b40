#include "Modal.h"

#include <memory>
#include <vector>

#include "AppEvents.h"
#include "AppWindows.h"
#include "Backend.h"
#include "XbpWindow.h"

namespace rt {

namespace {
struct Modal {
    std::vector<std::weak_ptr<XbpWindow>> focusBefore;  // one per dialog running, innermost last
    bool quitPending = false;
};
Modal& modal()
{
    static Modal m;
    return m;
}

std::shared_ptr<XbpWindow> focused()
{
    XbpWindow* w = backend::FocusedWindow();
    return w ? w->shared_from_this() : nullptr;
}
}  // namespace

void ModalStarts() { modal().focusBefore.push_back(focused()); }

void ModalEnded()
{
    auto back = modal().focusBefore.back().lock();
    modal().focusBefore.pop_back();
    if (!back)
        back = focused();
    if (!back)
        back = AppWindow();
    PostAppEvent(EVENT_SETFOCUS, {}, {}, back);
    if (modal().quitPending && modal().focusBefore.empty()) {
        modal().quitPending = false;
        PostAppEvent(EVENT_QUIT);
    }
}

void RequestQuit()
{
    if (modal().focusBefore.empty()) {
        PostAppEvent(EVENT_QUIT);
        return;
    }
    modal().quitPending = true;
    backend::CancelModal();
}

}  // namespace rt
