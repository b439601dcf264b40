#pragma once
// A top-level window whose size is the size of its drawing area; the frame
// belongs to the window manager. A close request is never carried out by the
// platform: it queues the close event addressed to the dialog, whose dispatch
// runs close.

#include <memory>
#include <optional>
#include <string>

#include "XbpDrawingArea.h"
#include "XbpWindow.h"

namespace rt {

class XbpDialog : public XbpWindow {
public:
    XbpDialog() = default;

    void init(const std::shared_ptr<XbpWindow>& oParent = nullptr,
              const std::shared_ptr<XbpWindow>& oOwner = nullptr,
              std::optional<Pos> aPos = std::nullopt, std::optional<Size> aSize = std::nullopt,
              const std::shared_ptr<PresParams>& aPP = nullptr,
              std::optional<bool> lVisible = std::nullopt);
    void create(const std::shared_ptr<XbpWindow>& oParent = nullptr,
                const std::shared_ptr<XbpWindow>& oOwner = nullptr,
                std::optional<Pos> aPos = std::nullopt, std::optional<Size> aSize = std::nullopt,
                const std::shared_ptr<PresParams>& aPP = nullptr,
                std::optional<bool> lVisible = std::nullopt) override;

    std::string title;
    bool taskList = true;
    bool maxButton = true;
    bool minButton = true;
    std::optional<int> icon;  // icon resource number
    Action close;

    std::shared_ptr<XbpDrawingArea> drawingArea;

    // Applies the attributes again, the drawing area's bitmap included.
    void configure();

    void handleEvent(long nEvent, MsgParam mp1, MsgParam mp2) override;

protected:
    NativeWindow* makeNative(NativeWindow* parent) override;
    void applyGeometry() override;

private:
    std::optional<int> shownIcon_;
};

}  // namespace rt
