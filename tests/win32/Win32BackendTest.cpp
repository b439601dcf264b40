// What only the Win32 backend shows: Windows' colour dialog keeps the custom
// colours of the run; the focused button is the default one, Return presses it,
// and a held key's repeats press nothing;
// what a screen reader holds of a swatch follows it, and outlives it safely;
// the DLLs loaded when first needed are Windows' own; a tooltip is shown.
#include "Win32.h"

#include <colordlg.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <oleacc.h>

#include "Backend.h"
#include "Gra.h"
#include "TestSupport.h"
#include "XbpColorDialog.h"
#include "XbpPushButton.h"
#include "XbpStatic.h"

using namespace rt;

namespace {
BOOL CALLBACK findColourDialog(HWND w, LPARAM out)
{
    if (IsWindowVisible(w) && GetDlgItem(w, COLOR_RED)) {
        *reinterpret_cast<HWND*>(out) = w;
        return FALSE;
    }
    return TRUE;
}
HWND colourDialog()
{
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), findColourDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

// The colour shown in the first box of the dialog's custom colours.
COLORREF firstCustomColour(HWND dialog)
{
    UpdateWindow(dialog);
    RECT r;
    GetWindowRect(GetDlgItem(dialog, COLOR_CUSTOM1), &r);
    MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&r), 2);
    HDC dc = GetDC(dialog);
    const COLORREF c = GetPixel(dc, r.left + (r.right - r.left) / 16, r.top + (r.bottom - r.top) / 4);
    ReleaseDC(dialog, dc);
    return c;
}
}  // namespace

// The C++ library's own range errors reach a window as words and numbers,
// never as its bare format.
TEST(Win32Exceptions, ARangeErrorIsSaidWithItsNumbersNotItsFormat)
{
    try {
        (void)std::string("abc").substr(5);
        FAIL() << "no exception";
    } catch (const std::exception& e) {
        EXPECT_STREQ(e.what(), "basic_string::substr: __pos (which is 5) > this->size() (which is 3)");
    }
}

TEST(Win32ColourDialog, CustomColoursAreKeptForTheRun)
{
    const auto d = test::hiddenDialog({200, 100});
    COLORREF before = 0, kept = 0;
    bool answered = false;
    test::whenModal([&] {
        HWND dialog = colourDialog();
        ASSERT_NE(dialog, nullptr);
        SendMessageW(dialog, WM_COMMAND, COLOR_MIX, 0);  // "Define Custom Colors"
        before = firstCustomColour(dialog);
        SetDlgItemInt(dialog, COLOR_RED, 10, FALSE);
        SetDlgItemInt(dialog, COLOR_GREEN, 200, FALSE);
        SetDlgItemInt(dialog, COLOR_BLUE, 30, FALSE);
        SendMessageW(dialog, WM_COMMAND, COLOR_ADD, 0);  // "Add to Custom Colors"
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    auto first = XbpColorDialog::New(d->drawingArea);
    EXPECT_EQ(first->display(), GraMakeRGBColor(RGB{10, 200, 30}));
    first->destroy();

    // Another dialog object, as the next choice of a colour makes one.
    test::whenModal([&] {
        HWND dialog = colourDialog();
        ASSERT_NE(dialog, nullptr);
        kept = firstCustomColour(dialog);
        answered = true;
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    auto second = XbpColorDialog::New(d->drawingArea);
    EXPECT_EQ(second->display(), std::nullopt);
    ASSERT_TRUE(answered);
    EXPECT_NE(before, RGB(10, 200, 30)) << "the slot did not hold the colour before";
    EXPECT_EQ(kept, RGB(10, 200, 30)) << "the custom colour is still there";
    ClearAppEvents();
}

TEST(Win32Keyboard, TheFocusedButtonIsTheDefaultAndReturnPressesItOnce)
{
    ClearAppEvents();
    const auto d = test::hiddenDialog({200, 100});
    std::vector<std::shared_ptr<XbpPushButton>> buttons;
    for (int i = 0; i < 3; ++i) {
        auto b = XbpPushButton::New(d->drawingArea, nullptr, Pos{4 + 64 * i, 4}, Size{60, 30});
        b->caption = "B" + std::to_string(i);
        b->tabStop = true;
        b->create();
        buttons.push_back(b);
    }
    d->show();
    ASSERT_TRUE(test::activate(*d));
    SetAppFocus(buttons[0]);
    const auto key = [](const XbpPushButton& b, WPARAM k, LPARAM repeat = 0) {
        const LPARAM scan = (k == VK_RETURN ? 0x1C : k == VK_SPACE ? 0x39 : 0x0F) << 16 | 1;
        PostMessageW(HwndOf(b), WM_KEYDOWN, k, scan | repeat);
        PostMessageW(HwndOf(b), WM_KEYUP, k, scan | LPARAM(0xC0000000));
    };
    // Tab, Space, Tab, Return, through the runtime's own event loop.
    for (int step = 1; step <= 2; ++step) {
        key(*buttons[step - 1], VK_TAB);
        key(*buttons[step], step == 1 ? VK_SPACE : VK_RETURN);
        MsgParam mp1, mp2;
        std::shared_ptr<XbpWindow> w;
        EXPECT_EQ(AppEvent(mp1, mp2, w), EVENT_ACTIVATE);
        EXPECT_EQ(w, buttons[step]) << "Tab moved on to the next button";
        for (const auto& b : buttons) {
            const LONG style = GetWindowLongW(HwndOf(*b), GWL_STYLE) & BS_TYPEMASK;
            EXPECT_EQ(style, b == buttons[step] ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) << b->caption << " after step " << step;
            EXPECT_EQ(test::hasFocus(*b), b == buttons[step]) << b->caption;
        }
    }
    // The repeats of a key held since before the focus came: nothing pressed.
    ClearAppEvents();
    for (const WPARAM k : {VK_RETURN, VK_SPACE}) {
        key(*buttons[2], k, 1 << 30);
        backend::RunUntilEventQueued();
        backend::RunUntilEventQueued();
        EXPECT_EQ(PendingAppEvents(), 0u) << (k == VK_RETURN ? "Return" : "Space") << " repeated";
    }
    ClearAppEvents();
}

namespace {
std::wstring nameOf(IAccessible* object, HRESULT* result = nullptr)
{
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    const HRESULT hr = object->get_accName(self, &name);
    if (result)
        *result = hr;
    std::wstring out = SUCCEEDED(hr) && name ? std::wstring(name, SysStringLen(name)) : L"";
    SysFreeString(name);
    return out;
}
}  // namespace

HWND renamed = nullptr;
void CALLBACK nameChanged(HWINEVENTHOOK, DWORD, HWND hwnd, LONG object, LONG child, DWORD, DWORD)
{
    if (object == OBJID_CLIENT && child == CHILDID_SELF)
        renamed = hwnd;
}

TEST(Win32ScreenReader, WhatIsHeldOfASwatchFollowsItAndOutlivesIt)
{
    const auto d = test::hiddenDialog({200, 100});
    auto swatch = XbpStatic::New(d->drawingArea, nullptr, Pos{4, 4}, Size{64, 32});
    swatch->caption = "Color 1";
    swatch->create();
    swatch->setColorBG(*GraMakeRGBColor(RGB{255, 0, 0}));
    IAccessible* object = nullptr;
    ASSERT_HRESULT_SUCCEEDED(AccessibleObjectFromWindow(HwndOf(*swatch), DWORD(OBJID_CLIENT), __uuidof(IAccessible),
                                                        reinterpret_cast<void**>(&object)));
    EXPECT_EQ(nameOf(object), L"Color 1: red 255, green 0, blue 0");

    // A screen reader learns of the change from Windows' event, as it would of a proxy's.
    renamed = nullptr;
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_NAMECHANGE, nullptr, nameChanged,
                                         GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    ASSERT_NE(hook, nullptr);
    swatch->setColorBG(*GraMakeRGBColor(RGB{0, 0, 255}));
    const DWORD deadline = GetTickCount() + 5000;
    while (renamed != HwndOf(*swatch) && GetTickCount() < deadline) {
        test::processEvents();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    UnhookWinEvent(hook);
    EXPECT_EQ(renamed, HwndOf(*swatch)) << "the change of name is announced";
    EXPECT_EQ(nameOf(object), L"Color 1: red 0, green 0, blue 255") << "the object held says the colour shown now";
    swatch.reset();  // its window goes with it
    HRESULT asked = S_OK;
    EXPECT_EQ(nameOf(object, &asked), L"");
    EXPECT_TRUE(FAILED(asked)) << "a window that has gone says nothing";
    object->Release();
}

// Windows' tooltip window, owned by the dialog, holds the button's text.
TEST(Win32Tooltip, TheButtonsTextIsHeldByATooltipOfTheDialogs)
{
    const auto d = test::hiddenDialog({200, 100});
    const auto b = XbpPushButton::New(d->drawingArea, nullptr, Pos{4, 4}, Size{60, 30});
    b->tooltip = "Saves the colours to LOGO.TXT and the logo to LOGO.BMP in C:\\Logos, then closes.";
    b->create();
    HWND tip = nullptr;
    while ((tip = FindWindowExW(nullptr, tip, TOOLTIPS_CLASSW, nullptr)) && GetWindow(tip, GW_OWNER) != HwndOf(*d)) {
    }
    ASSERT_NE(tip, nullptr);
    wchar_t text[128] = {};
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.lpszText = text;
    ASSERT_TRUE(SendMessageW(tip, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&tool)));
    EXPECT_EQ(tool.uId, reinterpret_cast<UINT_PTR>(HwndOf(*b)));
    EXPECT_EQ(narrow(text), b->tooltip);
}

TEST(Win32Libraries, OnlyWindowsOwnAreLoadedWhenFirstNeeded)
{
    wchar_t folder[MAX_PATH], file[MAX_PATH];
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    ASSERT_GT(length, 0u);
    HMODULE dialogs = systemLibrary(L"comdlg32.dll");
    ASSERT_NE(dialogs, nullptr);
    ASSERT_GT(GetModuleFileNameW(dialogs, file, MAX_PATH), 0u);
    EXPECT_EQ(_wcsnicmp(file, folder, length), 0) << "comdlg32 comes from the system folder";
    EXPECT_NE(systemEntry<decltype(&ChooseColorW)>(dialogs, "ChooseColorW"), nullptr);

    // gl_planted.dll lies beside this program, where LoadLibraryW looks first.
    GetModuleFileNameW(nullptr, file, MAX_PATH);
    std::wstring beside(file);
    beside = beside.substr(0, beside.find_last_of(L"\\/") + 1) + L"gl_planted.dll";
    ASSERT_NE(GetFileAttributesW(beside.c_str()), INVALID_FILE_ATTRIBUTES) << "the planted DLL is in place";
    EXPECT_EQ(systemLibrary(L"gl_planted.dll"), nullptr) << "a DLL beside the program is not loaded";
    EXPECT_EQ(LoadLibraryW(L"gl_planted.dll"), nullptr) << "the program's folder is searched by no load at all";
    EXPECT_EQ(GetModuleHandleW(L"gl_planted.dll"), nullptr);
}

// Under a high-contrast theme what the runtime draws itself takes the theme's
// colours: the group box's caption is the theme's button text on its button
// face, with no outline of another colour; a theme change is drawn anew.
TEST(Win32Theme, HighContrastDrawsTheGroupBoxInTheThemesColours)
{
    // Wine keeps no high-contrast flag (SPI_SETHIGHCONTRAST fails): it is
    // assumed, and the theme's colours set for real.
    const int elements[] = {COLOR_BTNFACE, COLOR_BTNTEXT};
    const COLORREF was[] = {GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_BTNTEXT)};
    const COLORREF theme[] = {RGB(0, 0, 0), RGB(255, 255, 0)};
    assumeHighContrast(true);
    ASSERT_TRUE(SetSysColors(2, elements, theme));

    const auto d = test::hiddenDialog({200, 100});
    auto group = XbpStatic::New(d->drawingArea, nullptr, Pos{0, 0}, Size{200, 100});
    group->type = XbpStatic::TypeGroupBox;
    group->caption = "Gradient Colorbar";
    group->create();
    d->show();
    const Pixels shown = test::shownPixels(*group);
    int ink = 0, other = 0;
    for (int y = 0; y < 12; ++y)
        for (int x = 10; x < 90; ++x) {
            const std::uint32_t c = test::pixel(shown, x, y);
            ink += c == test::rgb(255, 255, 0);
            other += c != test::rgb(255, 255, 0) && c != test::rgb(0, 0, 0);
        }
    SetSysColors(2, elements, was);
    assumeHighContrast(std::nullopt);
    EXPECT_GT(ink, 20) << "the caption in the theme's text colour";
    EXPECT_EQ(other, 0) << "nothing but the theme's two colours around the caption";
}
