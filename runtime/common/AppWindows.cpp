#include "AppWindows.h"

#include "Platform.h"
#include "XbpWindow.h"

namespace rt {

namespace {
class Desktop final : public XbpWindow {
public:
    Desktop() { init(nullptr, nullptr, Pos{0, 0}, DesktopSize()); }

protected:
    NativeWindow makeWidget(NativeWindow) override { return nullptr; }
};

std::weak_ptr<XbpWindow>& appWindow()
{
    static std::weak_ptr<XbpWindow> w;
    return w;
}
}  // namespace

std::shared_ptr<XbpWindow> AppDesktop()
{
    static const auto desktop = std::make_shared<Desktop>();
    return desktop;
}

void SetAppWindow(const std::shared_ptr<XbpWindow>& oXbp) { appWindow() = oXbp; }

std::shared_ptr<XbpWindow> AppWindow() { return appWindow().lock(); }

}  // namespace rt
