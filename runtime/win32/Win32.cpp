#include "Win32.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <exception>
#include <map>

#include "AppEvents.h"
#include "Runtime.h"
#include "XbpBitmap.h"
#include "XbpDialog.h"
#include "XbpDrawingArea.h"
#include "XbpPushButton.h"
#include "XbpStatic.h"
#include "XbpWindow.h"

namespace rt {

std::wstring widen(const std::string& text)
{
    if (text.empty())
        return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0);
    std::wstring out(std::size_t(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), out.data(), n);
    return out;
}

std::string narrow(const std::wstring& text)
{
    if (text.empty())
        return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(std::size_t(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::string systemReason(DWORD error)
{
    wchar_t* text = nullptr;
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring reason = n && text ? std::wstring(text, n) : L"error " + std::to_wstring(error);
    LocalFree(text);
    while (!reason.empty() && (reason.back() == L'\n' || reason.back() == L'\r' || reason.back() == L' ' ||
                               reason.back() == L'.'))
        reason.pop_back();
    return narrow(reason);
}

namespace {
LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
}

HINSTANCE instance() { return GetModuleHandleW(nullptr); }

void registerClasses()
{
    for (const wchar_t* name : {kDialogClass, kAreaClass, kGroupClass}) {
        WNDCLASSEXW c{};
        c.cbSize = sizeof c;
        c.lpfnWndProc = windowProc;
        c.hInstance = instance();
        c.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        c.lpszClassName = name;
        RegisterClassExW(&c);
    }
}

int nextControlId()
{
    static int id = 100;
    return id++;
}

std::shared_ptr<XbpWindow> windowOf(HWND hwnd)
{
    XbpWindow* w = XbpWindow::fromWidget(hwnd);
    return w ? w->shared_from_this() : nullptr;
}

HFONT fontFromName(const std::string& name)
{
    static std::map<std::string, HFONT> fonts;
    if (const auto found = fonts.find(name); found != fonts.end())
        return found->second;
    const std::size_t dot = name.find('.');
    double points = 0;
    try {
        points = dot == std::string::npos ? 0 : std::stod(name.substr(0, dot));
    } catch (...) {
        points = 0;
    }
    const std::wstring face = widen(dot == std::string::npos ? name : name.substr(dot + 1));
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    LOGFONTW lf{};
    lf.lfHeight = points > 0 ? -LONG(points * dpi / 72.0 + 0.5) : 0;
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = DEFAULT_QUALITY;  // the user's own font smoothing
    face.copy(lf.lfFaceName, std::min<std::size_t>(face.size(), LF_FACESIZE - 1));
    HFONT font = CreateFontIndirectW(&lf);
    fonts[name] = font;
    return font;
}

namespace {
constexpr const wchar_t* kFontProperty = L"rt.font";
constexpr const wchar_t* kFocusProperty = L"rt.focus";

// Our three window classes share one procedure: the dialog turns a close
// request and the end of the session into events, the drawing area and the
// group box pass their buttons' presses on as events and paint their
// statics, and all of them let the background show through.
LRESULT handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SETFONT:
        SetPropW(hwnd, kFontProperty, reinterpret_cast<HANDLE>(wParam));
        return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(GetPropW(hwnd, kFontProperty));
    case WM_ERASEBKGND: paintBackdrop(hwnd, reinterpret_cast<HDC>(wParam)); return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        if (auto* group = dynamic_cast<XbpStatic*>(XbpWindow::fromWidget(hwnd)); group && group->widget() == hwnd)
            paintGroupBox(*group, dc);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (auto* control = dynamic_cast<XbpStatic*>(XbpWindow::fromWidget(item->hwndItem)))
            paintStatic(*control, item->hDC);
        return TRUE;
    }
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED && lParam)
            if (const auto button = std::dynamic_pointer_cast<XbpPushButton>(windowOf(reinterpret_cast<HWND>(lParam))))
                PostAppEvent(EVENT_ACTIVATE, {}, {}, button);
        return 0;
    case WM_CLOSE:
        // The program decides when it ends: the request becomes a queued event.
        if (const auto dialog = std::dynamic_pointer_cast<XbpDialog>(windowOf(hwnd)); dialog && dialog->widget() == hwnd)
            PostAppEvent(EVENT_CLOSE, {}, {}, dialog);
        return 0;
    case WM_QUERYENDSESSION: return TRUE;
    case WM_ENDSESSION:
        // The session ends: so does the program, at once, saving nothing.
        if (wParam)
            QUIT();
        return 0;
    case WM_ACTIVATE:
        // The control that had the focus gets it back when the window does.
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            SetPropW(hwnd, kFocusProperty, focus && IsChild(hwnd, focus) ? focus : nullptr);
        } else if (HWND focus = static_cast<HWND>(GetPropW(hwnd, kFocusProperty)); focus && IsWindow(focus)) {
            SetFocus(focus);
            return 0;
        }
        break;
    case WM_NCDESTROY:
        RemovePropW(hwnd, kFontProperty);
        RemovePropW(hwnd, kFocusProperty);
        break;
    default: break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// No exception may unwind through Windows' own frames, which on i686 ends the
// program: the message gets Windows' default handling, and the error is said.
LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    try {
        return handle(hwnd, message, wParam, lParam);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: error: %s\n", Runtime::ProgramName().c_str(), e.what());
    } catch (...) {
        std::fprintf(stderr, "%s: error: unknown error\n", Runtime::ProgramName().c_str());
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// The drawing area that hwnd lies in, and hwnd's offset in it.
std::shared_ptr<XbpDrawingArea> areaOf(HWND hwnd, POINT& offset)
{
    auto w = windowOf(hwnd);
    std::shared_ptr<XbpDrawingArea> area;
    for (; w && !area; w = w->parent())
        area = std::dynamic_pointer_cast<XbpDrawingArea>(w);
    offset = {0, 0};
    if (area && area->widget())
        MapWindowPoints(hwnd, area->widget(), &offset, 1);
    return area;
}
}  // namespace

void paintBackdrop(HWND hwnd, HDC dc)
{
    RECT r;
    GetClientRect(hwnd, &r);
    POINT offset;
    const auto area = areaOf(hwnd, offset);
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    if (!area || !area->bitmap || area->bitmap->isEmpty() || !area->widget())
        return;
    RECT areaRect;
    GetClientRect(area->widget(), &areaRect);
    const Pixels& image = area->bitmap->image();
    drawDib(dc, area->bitmap->onScreen(), -offset.x, areaRect.bottom - image.height - offset.y, image.width,
            image.height);
}

int backdropGrey(HWND hwnd, const RECT& r)
{
    POINT offset;
    const auto area = areaOf(hwnd, offset);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const auto grey = [](int red, int green, int blue) { return (red * 11 + green * 16 + blue * 5) / 32; };
    const int plain = grey(GetRValue(face), GetGValue(face), GetBValue(face));
    if (!area || !area->widget())
        return plain;
    RECT areaRect;
    GetClientRect(area->widget(), &areaRect);
    const Pixels* image = area->bitmap && !area->bitmap->isEmpty() ? &area->bitmap->image() : nullptr;
    const int top = areaRect.bottom - (image ? image->height : 0);
    long long sum = 0, count = 0;
    for (int y = r.top + offset.y; y < r.bottom + offset.y; ++y)
        for (int x = r.left + offset.x; x < r.right + offset.x; ++x, ++count) {
            const int iy = y - top;
            if (image && x >= 0 && x < image->width && iy >= 0 && iy < image->height) {
                const std::uint32_t c = image->at(x, iy);
                sum += grey((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF);
            } else {
                sum += plain;
            }
        }
    return count ? int(sum / count) : plain;
}

Pixels cropped(const Pixels& image, const Area& r, std::uint32_t outside)
{
    Pixels out;
    if (image.isNull() || r.isEmpty())
        return out;
    out.width = r.width;
    out.height = r.height;
    out.rgb.assign(std::size_t(r.width) * std::size_t(r.height), outside);
    for (int y = 0; y < r.height; ++y)
        for (int x = 0; x < r.width; ++x)
            if (r.x + x >= 0 && r.x + x < image.width && r.y + y >= 0 && r.y + y < image.height)
                out.at(x, y) = image.at(r.x + x, r.y + y);
    return out;
}

Pixels scaledPixels(const Pixels& image, int width, int height, bool smooth)
{
    if (image.width == width && image.height == height)
        return image;
    Pixels out;
    out.width = width;
    out.height = height;
    out.bits = image.bits;
    out.palette = image.palette;
    out.rgb.resize(std::size_t(width) * std::size_t(height));
    if (image.isNull() || width <= 0 || height <= 0)
        return out;
    const double sx = double(image.width) / width;
    const double sy = double(image.height) / height;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            if (!smooth) {
                out.at(x, y) = image.at(std::min(int(x * sx), image.width - 1), std::min(int(y * sy), image.height - 1));
                continue;
            }
            // Each target pixel averages the source area it covers, weighted by
            // how much of each source pixel lies in it; an enlargement blends
            // the neighbours of its centre instead.
            double x0 = x * sx, x1 = (x + 1) * sx, y0 = y * sy, y1 = (y + 1) * sy;
            if (sx < 1) {
                const double c = (x + 0.5) * sx - 0.5;
                x0 = std::clamp(c, 0.0, image.width - 1.0);
                x1 = x0 + 1;
            }
            if (sy < 1) {
                const double c = (y + 0.5) * sy - 0.5;
                y0 = std::clamp(c, 0.0, image.height - 1.0);
                y1 = y0 + 1;
            }
            double sum[4]{}, total = 0;
            for (int iy = int(y0); iy < std::min(int(std::ceil(y1)), image.height); ++iy) {
                const double wy = std::min(y1, iy + 1.0) - std::max(y0, double(iy));
                const int py = std::min(iy, image.height - 1);
                for (int ix = int(x0); ix < int(std::ceil(x1)); ++ix) {
                    const double wx = std::min(x1, ix + 1.0) - std::max(x0, double(ix));
                    const double w = wx * wy;
                    if (w <= 0)
                        continue;
                    const std::uint32_t c = image.at(std::min(ix, image.width - 1), py);
                    for (int k = 0; k < 4; ++k)
                        sum[k] += w * ((c >> (8 * k)) & 0xFF);
                    total += w;
                }
            }
            std::uint32_t c = 0;
            for (int k = 0; k < 4; ++k)
                c |= std::uint32_t(std::clamp(int(sum[k] / (total > 0 ? total : 1) + 0.5), 0, 255)) << (8 * k);
            out.at(x, y) = c;
        }
    return out;
}

std::shared_ptr<void> dibSection(const Pixels& image)
{
    if (image.isNull())
        return nullptr;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = image.width;
    info.bmiHeader.biHeight = -image.height;  // rows from the top
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!dib || !bits)
        return nullptr;
    auto* out = static_cast<std::uint32_t*>(bits);
    for (std::size_t i = 0; i < image.rgb.size(); ++i)
        out[i] = image.rgb[i] & 0xFFFFFF;
    GdiFlush();
    return std::shared_ptr<void>(dib, [](void* h) { DeleteObject(static_cast<HBITMAP>(h)); });
}

void drawDib(HDC dc, const std::shared_ptr<void>& dib, int x, int y, int width, int height)
{
    if (!dib)
        return;
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, static_cast<HBITMAP>(dib.get()));
    BitBlt(dc, x, y, width, height, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
}

}  // namespace rt
