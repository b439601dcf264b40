#pragma once
// The Win32 backend's slots and what its files share; used inside
// runtime/win32/ and by the Win32 backend's tests only.

#include <windows.h>

#include <commdlg.h>
#include <cstdint>
#include <memory>
#include <string>

#include "NativeSlot.h"
#include "Pixels.h"
#include "Types.h"

namespace rt {

class XbpStatic;
class XbpWindow;

struct NativeWindow {
    HWND hwnd = nullptr;
    XbpWindow* owner = nullptr;  // the window that the HWND's property names
    // What a screen reader hears beyond Windows' proxy; empty: the proxy's own.
    std::wstring spokenName;
    std::wstring spokenDescription;
};

// A 32-bit top-down DIB section of the picture.
struct NativeImage {
    HBITMAP dib = nullptr;
    int width = 0;
    int height = 0;
};

// The common colour dialog's settings for one display().
struct NativeColorDialog {
    HWND owner = nullptr;
    std::wstring title;
    bool center = false;
};

// ---- Strings (Strings.cpp)
std::wstring widen(const std::string& text);
std::string narrow(const std::wstring& text);
// The system's own words for an error code.
std::string systemReason(DWORD error);

// ---- Windows (WindowProc.cpp, XbpWindow.cpp)
HINSTANCE instance();
// Our window classes: the top-level dialog, the drawing area, the group box.
inline constexpr const wchar_t* kDialogClass = L"GradientLogoDialog";
inline constexpr const wchar_t* kAreaClass = L"GradientLogoArea";
inline constexpr const wchar_t* kGroupClass = L"GradientLogoGroup";
void registerClasses();
// The window's HWND; null before create() and once it is gone.
HWND HwndOf(const XbpWindow& window);
// The window an HWND is, or lies in; null for none of ours.
XbpWindow* WindowOf(HWND hwnd);
std::shared_ptr<XbpWindow> SharedWindowOf(HWND hwnd);
// A new slot for the window's HWND, which is marked as the window's; null for none.
NativeWindow* Adopt(XbpWindow& window, HWND hwnd);
// A new control id for a push button; never IDOK or IDCANCEL.
int nextControlId();

// ---- DLLs loaded when first needed (SystemLibrary.cpp)
// Windows' own DLL of that name, as loaded or from the system folder; null if
// it cannot be loaded. Never unloaded.
HMODULE systemLibrary(const wchar_t* name);
// A function of the DLL, typed; null for none.
template <typename F>
F systemEntry(HMODULE module, const char* name)
{
    return module ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

// ---- Screen readers (Accessible.cpp)
// The window answers screen readers with its spoken name, role and description.
void answerScreenReaders(HWND hwnd);
// Tells screen readers that what the window says has changed.
void spokenChanged(HWND hwnd);
// Marks the window a polite live region for UI Automation's clients.
void markLiveRegion(HWND hwnd);

// ---- Scaling and monitors (Dpi.cpp)
// Dots per inch of the window's monitor, or of the system where Windows cannot say.
int dpiOf(HWND hwnd);
int dpiOfMonitor(HMONITOR monitor);
// A length in the window's own units (96 to the inch) in pixels at dpi,
// rounded as Windows rounds.
inline int scaled(int units, int dpi) { return MulDiv(units, dpi, 96); }
// The monitor that the user works on, and its work area.
HMONITOR monitorInUse();
RECT workAreaOf(HMONITOR monitor);

// ---- Fonts (Fonts.cpp)
// "8.Arial": point size, full stop, face name, at dpi; one font object each.
HFONT fontFromName(const std::string& name, int dpi);
// The window's fonts and places at its monitor's DPI, and its children's.
void relayOut(HWND hwnd);
// The window's icons (the resource named by kIconProperty) at its DPI.
inline constexpr const wchar_t* kIconProperty = L"rt.icon";
void setWindowIcons(HWND hwnd);

// ---- Painting (Backdrop.cpp, XbpBitmap.cpp, XbpStatic.cpp)
// What shows behind a transparent window: the drawing area's colour and
// background bitmap. Paints dc over the window's whole client rectangle.
void paintBackdrop(HWND hwnd, HDC dc);
// The colour where nothing is painted, 0xFFRRGGBB.
std::uint32_t plainColour();
// Draws the picture at (x, y) of dc, each pixel dpi/96 pixels wide.
void drawImage(HDC dc, const NativeImage* image, int x, int y, int dpi = 96);
// Paints a static control (owner-drawn) or our group box on dc.
void paintStatic(XbpStatic& control, HDC dc);
// Whether a high-contrast theme is on; the tests can assume one where the
// platform cannot set it (Wine), or nothing to ask the platform again.
bool highContrast();
void assumeHighContrast(std::optional<bool> on);
void paintGroupBox(XbpStatic& group, HDC dc);

}  // namespace rt
