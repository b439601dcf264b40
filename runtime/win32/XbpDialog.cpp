#include "XbpDialog.h"

#include <utility>

#include "Backend.h"
#include "Win32.h"

namespace rt {

// The taskbar's and the title bar's icons at the window's DPI, each the image
// of icon 1 drawn for that size; the old ones go.
void setWindowIcons(HWND w)
{
    const int icon = int(reinterpret_cast<INT_PTR>(GetPropW(w, kIconProperty)));
    if (!icon)
        return;
    using MetricsForDpi = int(WINAPI*)(int, UINT);
    static const auto metricsForDpi =
        systemEntry<MetricsForDpi>(systemLibrary(L"user32.dll"), "GetSystemMetricsForDpi");
    const int dpi = dpiOf(w);
    for (const auto& [which, metric] : {std::pair{ICON_BIG, SM_CXICON}, std::pair{ICON_SMALL, SM_CXSMICON}}) {
        const int side = metricsForDpi ? metricsForDpi(metric, UINT(dpi)) : GetSystemMetrics(metric);
        HANDLE image = LoadImageW(instance(), MAKEINTRESOURCEW(icon), IMAGE_ICON, side, side, LR_DEFAULTCOLOR);
        if (auto old = reinterpret_cast<HICON>(SendMessageW(w, WM_SETICON, WPARAM(which), reinterpret_cast<LPARAM>(image))))
            DestroyIcon(old);
    }
}

}  // namespace rt

namespace rt::backend {

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

NativeWindow* MakeDialog(XbpDialog& dialog)
{
    return Adopt(dialog, CreateWindowExW(exStyleOf(dialog), kDialogClass, widen(dialog.title).c_str(),
                                         styleOf(dialog), CW_USEDEFAULT, CW_USEDEFAULT, dialog.size()[0],
                                         dialog.size()[1], nullptr, nullptr, instance(), nullptr));
}

// The size is the drawing area's, at the DPI of the monitor the user works
// on; the frame is added around it. The place is from that monitor's work
// area's lower-left corner.
void PlaceDialog(XbpDialog& dialog)
{
    HWND w = HwndOf(dialog);
    const HMONITOR monitor = monitorInUse();
    const RECT screen = workAreaOf(monitor);
    const int dpi = dpiOfMonitor(monitor);
    const int width = scaled(dialog.size()[0], dpi), height = scaled(dialog.size()[1], dpi);
    RECT frame{0, 0, width, height};
    AdjustWindowRectEx(&frame, styleOf(dialog), FALSE, exStyleOf(dialog));
    SetWindowPos(w, nullptr, screen.left + scaled(dialog.pos()[0], dpi) + frame.left,
                 screen.bottom - scaled(dialog.pos()[1], dpi) - height + frame.top, frame.right - frame.left,
                 frame.bottom - frame.top, SWP_NOZORDER | SWP_NOACTIVATE);
    // The frame's metrics may be another DPI's than the monitor's: the
    // client area is made exact.
    RECT client, outer;
    GetClientRect(w, &client);
    GetWindowRect(w, &outer);
    const int dx = width - client.right, dy = height - client.bottom;
    if (dx || dy)
        SetWindowPos(w, nullptr, 0, 0, outer.right - outer.left + dx, outer.bottom - outer.top + dy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ConfigureDialog(XbpDialog& dialog)
{
    HWND w = HwndOf(dialog);
    SetWindowTextW(w, widen(dialog.title).c_str());
    SetWindowLongW(w, GWL_STYLE, LONG((GetWindowLongW(w, GWL_STYLE) & WS_VISIBLE) | styleOf(dialog)));
    SetWindowLongW(w, GWL_EXSTYLE, LONG(exStyleOf(dialog)));
    SetWindowPos(w, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void SetDialogIcon(XbpDialog& dialog, int icon)
{
    HWND w = HwndOf(dialog);
    SetPropW(w, kIconProperty, reinterpret_cast<HANDLE>(INT_PTR(icon)));
    setWindowIcons(w);
}

}  // namespace rt::backend
