#pragma once
// The base of every window: its settings from construction, the platform's
// window that create() makes from them, visibility, the free cargo slot and the dispatch of
// events addressed to it.

#include <memory>
#include <optional>
#include <string>

#include "NativeSlot.h"
#include "Types.h"

namespace rt {

class XbpWindow : public std::enable_shared_from_this<XbpWindow> {
public:
    virtual ~XbpWindow();
    XbpWindow(const XbpWindow&) = delete;
    XbpWindow& operator=(const XbpWindow&) = delete;

    // Records the settings; no window exists until create().
    void init(const std::shared_ptr<XbpWindow>& oParent = nullptr,
              const std::shared_ptr<XbpWindow>& oOwner = nullptr,
              std::optional<Pos> aPos = std::nullopt, std::optional<Size> aSize = std::nullopt,
              const std::shared_ptr<PresParams>& aPP = nullptr,
              std::optional<bool> lVisible = std::nullopt);

    // Makes the window; arguments left nil keep those of init.
    virtual void create(const std::shared_ptr<XbpWindow>& oParent = nullptr,
                        const std::shared_ptr<XbpWindow>& oOwner = nullptr,
                        std::optional<Pos> aPos = std::nullopt,
                        std::optional<Size> aSize = std::nullopt,
                        const std::shared_ptr<PresParams>& aPP = nullptr,
                        std::optional<bool> lVisible = std::nullopt);

    void show();
    void hide();
    bool isVisible() const { return visible_; }

    // Runs what the event means for this window; events without an action do nothing.
    virtual void handleEvent(long nEvent, MsgParam mp1, MsgParam mp2);

    long cargo = 0;
    // What a screen reader says this window is for, beside its name, when it
    // gets the focus; nothing visible. Set before create().
    std::string accessibleDescription;
    // Shown when the pointer rests on the window. Set before create().
    std::string tooltip;

    std::shared_ptr<XbpWindow> parent() const { return parent_.lock(); }
    std::shared_ptr<XbpWindow> owner() const { return owner_.lock(); }
    Pos pos() const { return pos_; }
    Size size() const { return size_; }
    const PresParams& presParams() const { return pp_; }

    // The platform's window, null until create(); for the runtime's backend and its tests.
    NativeWindow* native() const { return native_.get(); }

protected:
    XbpWindow() = default;
    // The platform's window of this kind, in the parent's (null for a top-level window).
    virtual NativeWindow* makeNative(NativeWindow* parent) = 0;
    // Runs once the widget is made and set up.
    virtual void created() {}
    // Places the widget from pos and size; top-level windows place themselves.
    virtual void applyGeometry();
    void applyPresParams();
    // Runs an action; an error escaping it is reported and the program goes on.
    static void runAction(const Action& action);

private:
    // Makes the platform's window from the settings.
    void build();

    std::weak_ptr<XbpWindow> parent_;
    std::weak_ptr<XbpWindow> owner_;
    Pos pos_{0, 0};
    Size size_{0, 0};
    PresParams pp_;
    bool visible_ = true;
    std::unique_ptr<NativeWindow, DropNativeWindow> native_;
};

}  // namespace rt
