#include "AppWindows.h"

#include "Backend.h"
#include "Modal.h"
#include "Runtime.h"
#include "XbpWindow.h"

namespace rt {

namespace {
class Desktop final : public XbpWindow {
public:
    Desktop() { init(nullptr, nullptr, Pos{0, 0}, backend::WorkAreaSize()); }

protected:
    NativeWindow* makeNative(NativeWindow*) override { return nullptr; }
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

void SetAppFocus(const std::shared_ptr<XbpWindow>& oXbp)
{
    if (oXbp && oXbp->native())
        backend::Focus(*oXbp);
}

void CenterControl(const std::shared_ptr<XbpWindow>& oXbp)
{
    if (oXbp && oXbp->native())
        backend::Centre(*oXbp);
}

void MsgBox(const std::string& cText)
{
    const auto app = AppWindow();
    RunModal([&] {
        backend::ShowMessageBox(Runtime::DisplayName(), cText, app ? app->native() : nullptr);
        return 0;
    });
}

}  // namespace rt
