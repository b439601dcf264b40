#include "XbpDialog.h"

#include "Backend.h"

namespace rt {

void XbpDialog::init(const std::shared_ptr<XbpWindow>& oParent,
                     const std::shared_ptr<XbpWindow>& oOwner, std::optional<Pos> aPos,
                     std::optional<Size> aSize, const std::shared_ptr<PresParams>& aPP,
                     std::optional<bool> lVisible)
{
    XbpWindow::init(oParent, oOwner, aPos, aSize, aPP, lVisible);
    drawingArea = std::make_shared<XbpDrawingArea>();
    drawingArea->init(shared_from_this(), nullptr, Pos{0, 0}, size(), nullptr, true);
}

void XbpDialog::create(const std::shared_ptr<XbpWindow>& oParent,
                       const std::shared_ptr<XbpWindow>& oOwner, std::optional<Pos> aPos,
                       std::optional<Size> aSize, const std::shared_ptr<PresParams>& aPP,
                       std::optional<bool> lVisible)
{
    XbpWindow::create(oParent, oOwner, aPos, aSize, aPP, lVisible);
    drawingArea->create(nullptr, nullptr, Pos{0, 0}, size());
    configure();
}

NativeWindow* XbpDialog::makeNative(NativeWindow*) { return backend::MakeDialog(*this); }

void XbpDialog::applyGeometry() { backend::PlaceDialog(*this); }

void XbpDialog::configure()
{
    if (!native())
        return;
    backend::ConfigureDialog(*this);
    if (icon && icon != shownIcon_) {  // the window manager is told only of a change
        backend::SetDialogIcon(*this, *icon);
        shownIcon_ = icon;
    }
    drawingArea->refresh();
}

void XbpDialog::handleEvent(long nEvent, MsgParam, MsgParam)
{
    if (nEvent == EVENT_CLOSE)
        runAction(close);
}

}  // namespace rt
