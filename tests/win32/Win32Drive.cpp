// The Win32 backend's side of the widget tests, run under Wine.
#include "Win32.h"

#include <colordlg.h>

#include <chrono>
#include <map>

#include "TestSupport.h"

namespace test {

namespace {
HWND hwnd(const rt::XbpWindow& w)
{
    HWND h = rt::HwndOf(w);
    EXPECT_NE(h, nullptr) << "the window was not created";
    return h;
}

bool isClass(HWND w, const wchar_t* name)
{
    wchar_t found[64] = {};
    return w && GetClassNameW(w, found, 64) && std::wstring(found) == name;
}

// The thread's modal dialog that is up: a message box or the colour dialog.
BOOL CALLBACK findModal(HWND w, LPARAM out)
{
    if (IsWindowVisible(w) && isClass(w, L"#32770")) {
        *reinterpret_cast<HWND*>(out) = w;
        return FALSE;
    }
    return TRUE;
}
HWND shownModal()
{
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), findModal, reinterpret_cast<LPARAM>(&found));
    return found;
}

std::string text(HWND w)
{
    std::wstring t(std::size_t(GetWindowTextLengthW(w)) + 1, L'\0');
    t.resize(std::size_t(GetWindowTextW(w, t.data(), int(t.size()))));
    return rt::narrow(t);
}

bool isColourDialog(HWND w) { return GetDlgItem(w, COLOR_RED) != nullptr; }

std::map<UINT_PTR, std::function<void()>>& ticks()
{
    static std::map<UINT_PTR, std::function<void()>> t;
    return t;
}

void CALLBACK onTick(HWND, UINT, UINT_PTR id, DWORD)
{
    const auto found = ticks().find(id);
    if (found != ticks().end()) {
        const auto tick = found->second;  // a tick may end its own timer
        tick();
    }
}

// The message box's text: its static of id 0xFFFF, as Windows makes it.
std::string messageText(HWND box)
{
    if (HWND t = GetDlgItem(box, 0xFFFF))
        return text(t);
    return {};
}
}  // namespace

std::string systemReason(Fault fault)
{
    return rt::systemReason(fault == Fault::NoSuchFile ? ERROR_FILE_NOT_FOUND : ERROR_ACCESS_DENIED);
}

// As the runtime's own loop does, keys go first to the dialog they are for.
void processEvents()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
        if (isClass(root, rt::kDialogClass) && IsDialogMessageW(root, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

std::shared_ptr<void> everyFewMilliseconds(std::function<void()> tick)
{
    const UINT_PTR id = SetTimer(nullptr, 0, 5, onTick);
    EXPECT_NE(id, 0u) << "no timer";
    ticks()[id] = std::move(tick);
    return std::shared_ptr<void>(reinterpret_cast<void*>(id), [](void* p) {
        const auto id = reinterpret_cast<UINT_PTR>(p);
        KillTimer(nullptr, id);
        ticks().erase(id);
    });
}

bool modalShown() { return shownModal() != nullptr; }

void whenModal(std::function<void()> act)
{
    auto handle = std::make_shared<std::shared_ptr<void>>();
    *handle = everyFewMilliseconds([handle, act] {
        if (!modalShown() || !*handle)
            return;
        handle->reset();  // once only
        act();
    });
}

std::shared_ptr<ColorAnswer> answerColorDialog(std::optional<rt::RGB> pick)
{
    auto seen = std::make_shared<ColorAnswer>();
    whenModal([seen, pick] {
        HWND dialog = shownModal();
        ASSERT_TRUE(isColourDialog(dialog)) << "expected the colour dialog";
        seen->title = text(dialog);
        seen->preselected = rt::RGB{int(GetDlgItemInt(dialog, COLOR_RED, nullptr, FALSE)),
                                    int(GetDlgItemInt(dialog, COLOR_GREEN, nullptr, FALSE)),
                                    int(GetDlgItemInt(dialog, COLOR_BLUE, nullptr, FALSE))};
        if (pick) {
            // Typed into the red, green and blue fields, as a user does, then OK.
            SetDlgItemInt(dialog, COLOR_RED, UINT((*pick)[0]), FALSE);
            SetDlgItemInt(dialog, COLOR_GREEN, UINT((*pick)[1]), FALSE);
            SetDlgItemInt(dialog, COLOR_BLUE, UINT((*pick)[2]), FALSE);
            PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        } else {
            PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        }
    });
    return seen;
}

std::shared_ptr<MessageAnswer> answerMessageBox()
{
    auto seen = std::make_shared<MessageAnswer>();
    whenModal([seen] {
        HWND box = shownModal();
        ASSERT_FALSE(isColourDialog(box)) << "expected a message box";
        seen->text = messageText(box);
        seen->title = text(box);
        ++seen->count;
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    return seen;
}

std::optional<std::string> answerShownMessageBox()
{
    HWND box = shownModal();
    if (!box || isColourDialog(box))
        return std::nullopt;
    const std::string t = messageText(box);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    return t;
}

Geometry geometry(const rt::XbpWindow& window)
{
    HWND w = hwnd(window);
    RECT r;
    GetWindowRect(w, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(w), reinterpret_cast<POINT*>(&r), 2);
    return {int(r.left), int(r.top), int(r.right - r.left), int(r.bottom - r.top)};
}

rt::Size clientSize(const rt::XbpWindow& window)
{
    RECT r;
    GetClientRect(hwnd(window), &r);
    return {int(r.right), int(r.bottom)};
}

bool nativeChildOf(const rt::XbpWindow& child, const rt::XbpWindow& parent)
{
    return GetParent(hwnd(child)) == hwnd(parent);
}

// A new child goes below its siblings, so that the first one made comes first,
// as the dialog keys' order (Tab) follows it.
std::vector<const rt::XbpWindow*> nativeChildren(const rt::XbpWindow& parent)
{
    std::vector<const rt::XbpWindow*> out;
    for (HWND w = GetWindow(hwnd(parent), GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
        out.push_back(rt::WindowOf(w));
    return out;
}

bool shown(const rt::XbpWindow& window) { return IsWindowVisible(hwnd(window)); }

std::string title(const rt::XbpWindow& window) { return text(hwnd(window)); }

// What Windows' proxies give a screen reader for a button or a static: its text.
std::string spokenName(const rt::XbpWindow& window) { return text(hwnd(window)); }

bool hasFocus(const rt::XbpWindow& window) { return GetFocus() == hwnd(window); }

void click(const rt::XbpWindow& button) { SendMessageW(hwnd(button), BM_CLICK, 0, 0); }

void pressSpace(const rt::XbpWindow& window)
{
    PostMessageW(hwnd(window), WM_KEYDOWN, VK_SPACE, 0x00390001);
    PostMessageW(hwnd(window), WM_KEYUP, VK_SPACE, LPARAM(0xC0390001));
}

void pressEscape(const rt::XbpWindow& window)
{
    PostMessageW(hwnd(window), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    PostMessageW(hwnd(window), WM_KEYUP, VK_ESCAPE, LPARAM(0xC0010001));
}

void requestClose(const rt::XbpWindow& dialog) { SendMessageW(hwnd(dialog), WM_CLOSE, 0, 0); }

bool activate(const rt::XbpWindow& window)
{
    HWND w = hwnd(window);
    rt::SetAppFocus(std::const_pointer_cast<rt::XbpWindow>(window.shared_from_this()));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (GetForegroundWindow() != w || GetActiveWindow() != w) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        processEvents();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

// Read back from the screen: the window's top-level window brought to the top
// and painted, then its pixels copied.
rt::Pixels shownPixels(const rt::XbpWindow& window)
{
    HWND w = hwnd(window);
    HWND top = GetAncestor(w, GA_ROOT);
    SetWindowPos(top, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    RedrawWindow(top, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    processEvents();
    RECT r;
    GetClientRect(w, &r);
    rt::Pixels out;
    out.width = int(r.right);
    out.height = int(r.bottom);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, out.width, -out.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC screen = GetDC(w);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, dib);
    BitBlt(memory, 0, 0, out.width, out.height, screen, 0, 0, SRCCOPY);
    GdiFlush();
    const auto* px = static_cast<const std::uint32_t*>(bits);
    for (int i = 0; i < out.width * out.height; ++i)
        out.rgb.push_back(px[i] | 0xFF000000);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(w, screen);
    DeleteObject(dib);
    return out;
}

}  // namespace test
