#include "XbpWindow.h"

#include <exception>

#include "AppWindows.h"
#include "Backend.h"
#include "Runtime.h"

namespace rt {

// The native slot goes with the window: its backend lets the platform's window go.
XbpWindow::~XbpWindow() = default;

void XbpWindow::init(const std::shared_ptr<XbpWindow>& oParent,
                     const std::shared_ptr<XbpWindow>& oOwner, std::optional<Pos> aPos,
                     std::optional<Size> aSize, const std::shared_ptr<PresParams>& aPP,
                     std::optional<bool> lVisible)
{
    parent_ = oParent;
    owner_ = oOwner;
    pos_ = aPos.value_or(Pos{0, 0});
    size_ = aSize.value_or(Size{0, 0});
    pp_ = aPP ? *aPP : PresParams{};
    visible_ = lVisible.value_or(true);
}

void XbpWindow::create(const std::shared_ptr<XbpWindow>& oParent,
                       const std::shared_ptr<XbpWindow>& oOwner, std::optional<Pos> aPos,
                       std::optional<Size> aSize, const std::shared_ptr<PresParams>& aPP,
                       std::optional<bool> lVisible)
{
    if (oParent)
        parent_ = oParent;
    if (oOwner)
        owner_ = oOwner;
    if (aPos)
        pos_ = *aPos;
    if (aSize)
        size_ = *aSize;
    if (aPP)
        pp_ = *aPP;
    if (lVisible)
        visible_ = *lVisible;

    build();
}

void XbpWindow::build()
{
    const auto p = parent();
    native_.reset(makeNative(p ? p->native() : nullptr));
    if (!native_)
        return;
    applyGeometry();
    applyPresParams();
    if (!accessibleDescription.empty())
        backend::SpokenAs(*this, {}, accessibleDescription);
    if (!tooltip.empty())
        backend::SetToolTip(*this, tooltip);
    backend::SetVisible(*this, visible_);
    created();
}

void XbpWindow::show()
{
    visible_ = true;
    if (native_)
        backend::SetVisible(*this, true);
}

void XbpWindow::hide()
{
    visible_ = false;
    if (native_)
        backend::SetVisible(*this, false);
}

void XbpWindow::applyGeometry() { backend::PlaceControl(*this); }

void XbpWindow::applyPresParams() { backend::ApplyPresParams(*this); }

void XbpWindow::handleEvent(long, MsgParam, MsgParam) {}

void XbpWindow::runAction(const Action& action)
{
    if (!action)
        return;
    std::string what;
    try {
        action();
        return;
    } catch (const std::exception& e) {
        what = e.what();
    } catch (...) {
        what = "unknown error";
    }
    Runtime::SayError(what);
    MsgBox("Error: " + what);
}

}  // namespace rt
