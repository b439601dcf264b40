#include "XbpColorDialog.h"

#include "Gra.h"
#include "Win32.h"
#include "XbpWindow.h"

namespace rt {

namespace {
// Titles the dialog, and centres it over its owner when asked.
UINT_PTR CALLBACK hook(HWND dialog, UINT message, WPARAM, LPARAM lParam)
{
    if (message != WM_INITDIALOG)
        return 0;
    const auto* choose = reinterpret_cast<const CHOOSECOLORW*>(lParam);
    const auto* chooser = reinterpret_cast<const ColorChooser*>(choose->lCustData);
    SetWindowTextW(dialog, chooser->title.c_str());
    if (chooser->center && choose->hwndOwner) {
        RECT over, own;
        GetWindowRect(choose->hwndOwner, &over);
        GetWindowRect(dialog, &own);
        const int width = own.right - own.left, height = own.bottom - own.top;
        SetWindowPos(dialog, nullptr, (over.left + over.right - width) / 2, (over.top + over.bottom - height) / 2, 0,
                     0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return 1;
}
}  // namespace

XbpColorDialog::XbpColorDialog() = default;
XbpColorDialog::~XbpColorDialog() = default;

void XbpColorDialog::create() { dialog_ = std::make_unique<ColorChooser>(); }

std::optional<ColorNumber> XbpColorDialog::display()
{
    if (!dialog_)
        create();
    const auto parent = parent_.lock();
    HWND owner = parent && parent->widget() ? GetAncestor(parent->widget(), GA_ROOT) : nullptr;
    ColorChooser& c = *dialog_;
    c.title = widen(title);
    c.center = center;
    c.choose = {};
    c.choose.lStructSize = sizeof c.choose;
    c.choose.hwndOwner = owner;
    c.choose.lpCustColors = c.custom;
    c.choose.Flags = CC_RGBINIT | CC_ENABLEHOOK | (displayAll ? CC_FULLOPEN : 0) | (noDither ? CC_SOLIDCOLOR : 0) |
                     (showHelp ? CC_SHOWHELP : 0);
    c.choose.lpfnHook = hook;
    c.choose.lCustData = reinterpret_cast<LPARAM>(&c);
    if (const auto rgb = defaultColor ? GraGetRGBIntensity(*defaultColor) : std::nullopt)
        c.choose.rgbResult = RGB((*rgb)[0], (*rgb)[1], (*rgb)[2]);
    if (!runModal([&] { return ChooseColorW(&c.choose); }))
        return std::nullopt;
    const COLORREF chosen = c.choose.rgbResult;
    return GraMakeRGBColor(RGB{GetRValue(chosen), GetGValue(chosen), GetBValue(chosen)});
}

void XbpColorDialog::destroy() { dialog_.reset(); }

}  // namespace rt
