#include "XbpStatic.h"

#include "Backend.h"
#include "Gra.h"
#include "PixelOps.h"
#include "Win32.h"
#include "XbpBitmap.h"

namespace rt {

namespace {
COLORREF colorRef(std::uint32_t argb) { return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF); }

// The static's picture at dpi (96: one pixel per unit, as it is read back):
// what shows behind it (or the window colour, for reading it back), its
// colour, its caption or bitmap, and then whatever was drawn on it.
Pixels picture(const XbpStatic& s, bool backdrop, int dpi)
{
    Pixels out;
    out.width = scaled(s.size()[0], dpi);
    out.height = scaled(s.size()[1], dpi);
    HWND hwnd = HwndOf(s);
    if (out.isNull() || !hwnd)
        return Pixels();
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, out.width, -out.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!dib)
        return Pixels();
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ oldBitmap = SelectObject(dc, dib);
    const RECT r{0, 0, out.width, out.height};
    if (backdrop)
        paintBackdrop(hwnd, dc);
    else
        FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    // The static's own colour as one 0xAARRGGBB value, 0 for none.
    std::uint32_t own = 0;
    if (const auto rgb = s.colorBG() ? GraGetRGBIntensity(*s.colorBG()) : std::nullopt)
        own = 0xFF000000 | std::uint32_t((*rgb)[0]) << 16 | std::uint32_t((*rgb)[1]) << 8 | std::uint32_t((*rgb)[2]);
    if (own) {
        HBRUSH brush = CreateSolidBrush(colorRef(own));
        FillRect(dc, &r, brush);
        DeleteObject(brush);
    }
    if (s.type == XbpStatic::TypeBitmap) {
        if (const auto& b = s.captionBitmap(); b && !b->isEmpty())
            drawImage(dc, b->onScreen(), 0, out.height - scaled(b->height(), dpi), dpi);
    } else {
        // Keep the caption legible on whatever colour the swatch shows; on
        // the button face, the theme's own text for it.
        COLORREF ink = GetSysColor(COLOR_BTNTEXT);
        if (own)
            ink = colorRef(ReadableInk(own));
        HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, ink);
        RECT text = r;
        const std::wstring caption = widen(s.caption);
        DrawTextW(dc, caption.c_str(), int(caption.size()), &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        SelectObject(dc, oldFont);
    }
    GdiFlush();
    const auto* px = static_cast<const std::uint32_t*>(bits);
    out.rgb.assign(px, px + std::size_t(out.width) * std::size_t(out.height));
    for (auto& c : out.rgb)
        c |= 0xFF000000;
    SelectObject(dc, oldBitmap);
    DeleteDC(dc);
    DeleteObject(dib);
    const Pixels& drawn = s.drawn();
    if (dpi == 96 || drawn.isNull())
        Overlay(out, drawn, 0, 0);
    else
        Overlay(out, ScaledPixels(drawn, scaled(drawn.width, dpi), scaled(drawn.height, dpi), false), 0, 0);
    return out;
}
}  // namespace

namespace backend {

NativeWindow* MakeStatic(XbpStatic& control, NativeWindow& parent)
{
    const DWORD clip = control.clipSiblings ? WS_CLIPSIBLINGS : 0;
    const std::wstring caption = widen(control.caption);
    if (control.type == XbpStatic::TypeGroupBox)  // a container that its four controls lie in
        return Adopt(control, CreateWindowExW(WS_EX_CONTROLPARENT, kGroupClass, caption.c_str(),
                                              WS_CHILD | WS_CLIPCHILDREN | clip, 0, 0, 0, 0, parent.hwnd, nullptr,
                                              instance(), nullptr));
    return Adopt(control, CreateWindowExW(0, L"STATIC", caption.c_str(), WS_CHILD | SS_OWNERDRAW | clip, 0, 0, 0, 0,
                                          parent.hwnd, nullptr, instance(), nullptr));
}

Pixels StaticPicture(const XbpStatic& control) { return picture(control, false, 96); }

}  // namespace backend

void paintStatic(XbpStatic& control, HDC dc)
{
    const std::unique_ptr<NativeImage, DropNativeImage> shown(
        backend::MakeImage(picture(control, true, dpiOf(HwndOf(control)))));
    drawImage(dc, shown.get(), 0, 0);
}

namespace {
std::optional<bool> assumedHighContrast;
}

void assumeHighContrast(std::optional<bool> on) { assumedHighContrast = on; }

bool highContrast()
{
    if (assumedHighContrast)
        return *assumedHighContrast;
    HIGHCONTRASTW contrast{sizeof contrast, 0, nullptr};
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON);
}

// The frame and the caption, and nothing else: the box lets the background
// through unchanged; their inks are the shared CaptionInkOver's, the frame's
// blended over the grey behind the caption (GDI's pens draw no alpha). Under
// a high-contrast theme, the theme's own: its button text on its button face,
// and a frame of its text colour.
void paintGroupBox(XbpStatic& group, HDC dc)
{
    HWND w = HwndOf(group);
    RECT client;
    GetClientRect(w, &client);
    HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(w, WM_GETFONT, 0, 0)));
    const std::wstring text = widen(group.caption);
    SIZE extent{};
    GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &extent);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    const int dpi = dpiOf(w);
    const int inset = scaled(8, dpi);
    const RECT label{inset, 0, inset + extent.cx + 2, metrics.tmHeight};
    const auto units = [dpi](int pixels) { return MulDiv(pixels, 96, dpi); };
    const int behind = GreyBehind(group, {units(label.left), units(label.top), units(label.right - label.left),
                                          units(label.bottom - label.top)},
                                  plainColour());
    const CaptionInk look = CaptionInkOver(behind);
    const bool themed = highContrast();
    HPEN pen = CreatePen(PS_SOLID, 1, themed ? GetSysColor(COLOR_BTNTEXT) : colorRef(BlendedOver(look.frame, behind)));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    const int top = (label.top + label.bottom) / 2;
    const int right = client.right - 1, bottom = client.bottom - 1;
    const auto line = [dc](int x0, int y0, int x1, int y1) {
        MoveToEx(dc, x0, y0, nullptr);
        LineTo(dc, x1, y1);
    };
    line(0, top, label.left - 2, top);
    line(text.empty() ? 0 : label.right + 2, top, right + 1, top);
    line(0, top, 0, bottom + 1);
    line(right, top, right, bottom + 1);
    line(0, bottom, right + 1, bottom);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
    if (themed) {
        SetBkMode(dc, OPAQUE);
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        TextOutW(dc, label.left + 1, label.top, text.c_str(), int(text.size()));
        SelectObject(dc, oldFont);
        return;
    }
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colorRef(look.outline));
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (dx || dy)
                TextOutW(dc, label.left + 1 + dx, label.top + dy, text.c_str(), int(text.size()));
    SetTextColor(dc, colorRef(look.ink));
    TextOutW(dc, label.left + 1, label.top, text.c_str(), int(text.size()));
    SelectObject(dc, oldFont);
}

}  // namespace rt
