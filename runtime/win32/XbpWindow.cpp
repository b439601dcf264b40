#include "XbpWindow.h"

#include "Win32.h"

namespace rt {

namespace {
constexpr const wchar_t* kWindowProperty = L"rt.window";
}

XbpWindow::~XbpWindow()
{
    // A parent's window may have taken ours with it already.
    if (widget_ && IsWindow(widget_) && GetPropW(widget_, kWindowProperty) == this) {
        RemovePropW(widget_, kWindowProperty);
        DestroyWindow(widget_);
    }
}

void XbpWindow::build()
{
    const auto p = parent();
    widget_ = makeWidget(p ? p->widget() : nullptr);
    if (!widget_)
        return;
    SetPropW(widget_, kWindowProperty, this);
    // A control takes its parent's font unless it names its own.
    if (p && p->widget())
        if (const auto font = SendMessageW(p->widget(), WM_GETFONT, 0, 0))
            SendMessageW(widget_, WM_SETFONT, WPARAM(font), FALSE);
    applyGeometry();
    applyPresParams();
    if (GetWindowLongW(widget_, GWL_STYLE) & WS_CHILD)
        ShowWindow(widget_, visible_ ? SW_SHOWNA : SW_HIDE);
    created();
}

void XbpWindow::show()
{
    visible_ = true;
    if (widget_)
        ShowWindow(widget_, SW_SHOW);
}

void XbpWindow::hide()
{
    visible_ = false;
    if (widget_)
        ShowWindow(widget_, SW_HIDE);
}

XbpWindow* XbpWindow::fromWidget(HWND w)
{
    for (; w; w = GetParent(w))
        if (auto* window = static_cast<XbpWindow*>(GetPropW(w, kWindowProperty)))
            return window;
    return nullptr;
}

void XbpWindow::applyGeometry()
{
    const auto p = parent();
    const int parentHeight = p ? p->size()[1] : 0;
    MoveWindow(widget_, pos_[0], parentHeight - pos_[1] - size_[1], size_[0], size_[1], FALSE);
}

void XbpWindow::applyPresParams()
{
    for (const PresParam& p : pp_)
        if (p.id == PP_FONT)
            if (const auto* text = std::get_if<std::string>(&p.value))
                SendMessageW(widget_, WM_SETFONT, WPARAM(fontFromName(*text)), FALSE);
    // The buttons' system colours are the platform's own; a transparent
    // background is what our statics and group box paint anyway.
}

}  // namespace rt
