#pragma once
// A push button; a press (mouse or keyboard) queues an activate event
// addressed to it, whose dispatch runs its activate action.

#include <memory>
#include <string>

#include "XbpWindow.h"

namespace rt {

class XbpPushButton final : public XbpWindow {
public:
    static std::shared_ptr<XbpPushButton> New(const std::shared_ptr<XbpWindow>& oParent = nullptr,
                                              const std::shared_ptr<XbpWindow>& oOwner = nullptr,
                                              std::optional<Pos> aPos = std::nullopt,
                                              std::optional<Size> aSize = std::nullopt,
                                              const std::shared_ptr<PresParams>& aPP = nullptr,
                                              std::optional<bool> lVisible = std::nullopt);
    XbpPushButton() = default;

    std::string caption;
    bool tabStop = false;
    Action activate;

    void handleEvent(long nEvent, MsgParam mp1, MsgParam mp2) override;

protected:
    NativeWindow* makeNative(NativeWindow* parent) override;
};

}  // namespace rt
