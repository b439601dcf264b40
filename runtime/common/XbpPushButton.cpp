#include "XbpPushButton.h"

#include "Backend.h"

namespace rt {

std::shared_ptr<XbpPushButton> XbpPushButton::New(const std::shared_ptr<XbpWindow>& oParent,
                                                  const std::shared_ptr<XbpWindow>& oOwner,
                                                  std::optional<Pos> aPos,
                                                  std::optional<Size> aSize,
                                                  const std::shared_ptr<PresParams>& aPP,
                                                  std::optional<bool> lVisible)
{
    auto o = std::make_shared<XbpPushButton>();
    o->init(oParent, oOwner, aPos, aSize, aPP, lVisible);
    return o;
}

NativeWindow* XbpPushButton::makeNative(NativeWindow* parent)
{
    return parent ? backend::MakePushButton(*this, *parent) : nullptr;
}

void XbpPushButton::handleEvent(long nEvent, MsgParam, MsgParam)
{
    if (nEvent == EVENT_ACTIVATE)
        runAction(activate);
}

}  // namespace rt
