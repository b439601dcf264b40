#include "XbpColorDialog.h"

#include "Backend.h"
#include "Gra.h"
#include "Win32.h"

namespace rt {

void DropNativeColorDialog::operator()(NativeColorDialog* native) const { delete native; }

namespace backend {

namespace {
// The custom colours: kept for the run, and shared by every colour dialog.
COLORREF customColours[16] = {};

// Titles the dialog, and centres it over its owner when asked.
UINT_PTR CALLBACK hook(HWND dialog, UINT message, WPARAM, LPARAM lParam)
{
    if (message != WM_INITDIALOG)
        return 0;
    const auto* choose = reinterpret_cast<const CHOOSECOLORW*>(lParam);
    const auto* chooser = reinterpret_cast<const NativeColorDialog*>(choose->lCustData);
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

NativeColorDialog* MakeColorDialog(XbpColorDialog&, NativeWindow* owner)
{
    return new NativeColorDialog{owner ? GetAncestor(owner->hwnd, GA_ROOT) : nullptr, {}, false};
}

std::optional<RGB> RunColorDialog(XbpColorDialog& dialog, NativeColorDialog& c)
{
    c.title = widen(dialog.title);
    c.center = dialog.center;
    CHOOSECOLORW choose{};
    choose.lStructSize = sizeof choose;
    choose.hwndOwner = c.owner;
    choose.lpCustColors = customColours;
    choose.Flags = CC_RGBINIT | CC_ENABLEHOOK | (dialog.displayAll ? CC_FULLOPEN : 0) |
                   (dialog.noDither ? CC_SOLIDCOLOR : 0) | (dialog.showHelp ? CC_SHOWHELP : 0);
    choose.lpfnHook = hook;
    choose.lCustData = reinterpret_cast<LPARAM>(&c);
    if (const auto rgb = dialog.defaultColor ? GraGetRGBIntensity(*dialog.defaultColor) : std::nullopt)
        choose.rgbResult = RGB((*rgb)[0], (*rgb)[1], (*rgb)[2]);
    // Loaded on first use: the DLL and all it brings cost every start otherwise.
    static const auto chooseColor =
        systemEntry<decltype(&ChooseColorW)>(systemLibrary(L"comdlg32.dll"), "ChooseColorW");
    if (!chooseColor || !chooseColor(&choose))
        return std::nullopt;
    return RGB{GetRValue(choose.rgbResult), GetGValue(choose.rgbResult), GetBValue(choose.rgbResult)};
}

}  // namespace backend
}  // namespace rt
