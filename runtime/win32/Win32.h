#pragma once
// What the Windows backend's files share; used inside runtime/ only.

#include <windows.h>

#include <commdlg.h>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "Pixels.h"
#include "Types.h"

namespace rt {

class XbpWindow;

// The common colour dialog's state between display() calls.
struct ColorChooser {
    CHOOSECOLORW choose{};
    COLORREF custom[16]{};
    std::wstring title;
    bool center = false;
};

std::wstring widen(const std::string& text);
std::string narrow(const std::wstring& text);
// The system's own words for an error code.
std::string systemReason(DWORD error);

HINSTANCE instance();
// Our window classes: the top-level dialog, the drawing area, the group box.
inline constexpr const wchar_t* kDialogClass = L"GradientLogoDialog";
inline constexpr const wchar_t* kAreaClass = L"GradientLogoArea";
inline constexpr const wchar_t* kGroupClass = L"GradientLogoGroup";
void registerClasses();

// The shared pointer of the window an HWND belongs to, or null.
std::shared_ptr<XbpWindow> windowOf(HWND hwnd);
// A new control id for a push button; never IDOK or IDCANCEL.
int nextControlId();

// "8.Arial": point size, full stop, face name; one font object per name.
HFONT fontFromName(const std::string& name);

// What shows behind a transparent window at (x, y) of its own: the drawing
// area's colour and background bitmap. Paints dc over the window's whole rect.
void paintBackdrop(HWND hwnd, HDC dc);
// The average grey (0..255) of what shows behind r of the window.
int backdropGrey(HWND hwnd, const RECT& r);

// The pixels inside r; where r reaches past the picture, the given colour.
Pixels cropped(const Pixels& image, const Area& r, std::uint32_t outside);
// Pixels scaled to a size: nearest pixel, or smoothly filtered.
Pixels scaledPixels(const Pixels& image, int width, int height, bool smooth);
// A 32-bit top-down DIB section holding the pixels; null for none.
std::shared_ptr<void> dibSection(const Pixels& image);
// Draws a DIB section of the given size at (x, y) of dc.
void drawDib(HDC dc, const std::shared_ptr<void>& dib, int x, int y, int width, int height);

class XbpStatic;
// Paints a static control (owner-drawn) or our group box on dc.
void paintStatic(XbpStatic& control, HDC dc);
void paintGroupBox(XbpStatic& group, HDC dc);

// Runs a modal dialog function; afterwards queues the focus event addressed to
// the window that has the focus back, as the other platform does.
void modalEnded();
template <typename F>
auto runModal(F&& dialog)
{
    auto result = dialog();
    modalEnded();
    return result;
}

}  // namespace rt
