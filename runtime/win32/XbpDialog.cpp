#include "XbpDialog.h"

#include "Win32.h"

namespace rt {

namespace {
DWORD styleOf(const XbpDialog& d)
{
    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    if (d.maxButton)
        style |= WS_MAXIMIZEBOX;
    if (d.minButton)
        style |= WS_MINIMIZEBOX;
    return style;
}
DWORD exStyleOf(const XbpDialog& d) { return WS_EX_CONTROLPARENT | (d.taskList ? WS_EX_APPWINDOW : WS_EX_TOOLWINDOW); }
}  // namespace

NativeWindow XbpDialog::makeWidget(NativeWindow)
{
    return CreateWindowExW(exStyleOf(*this), kDialogClass, widen(title).c_str(), styleOf(*this), CW_USEDEFAULT,
                           CW_USEDEFAULT, size()[0], size()[1], nullptr, nullptr, instance(), nullptr);
}

// The size is the drawing area's; the frame is added around it.
void XbpDialog::applyGeometry()
{
    RECT frame{0, 0, size()[0], size()[1]};
    AdjustWindowRectEx(&frame, styleOf(*this), FALSE, exStyleOf(*this));
    RECT screen{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &screen, 0);
    SetWindowPos(widget(), nullptr, screen.left + pos()[0] + frame.left,
                 screen.bottom - pos()[1] - size()[1] + frame.top, frame.right - frame.left,
                 frame.bottom - frame.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void XbpDialog::configure()
{
    HWND w = widget();
    if (!w)
        return;
    SetWindowTextW(w, widen(title).c_str());
    SetWindowLongW(w, GWL_STYLE, LONG((GetWindowLongW(w, GWL_STYLE) & WS_VISIBLE) | styleOf(*this)));
    SetWindowLongW(w, GWL_EXSTYLE, LONG(exStyleOf(*this)));
    SetWindowPos(w, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    if (icon && icon != shownIcon_) {  // the window manager is told only of a change
        const auto load = [&](int side) {
            return LoadImageW(instance(), MAKEINTRESOURCEW(*icon), IMAGE_ICON, side, side, LR_DEFAULTCOLOR);
        };
        SendMessageW(w, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(load(GetSystemMetrics(SM_CXICON))));
        SendMessageW(w, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(load(GetSystemMetrics(SM_CXSMICON))));
        shownIcon_ = icon;
    }
    drawingArea->refresh();
}

}  // namespace rt
