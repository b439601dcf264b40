// The yardstick for the Windows program's start-up: a bare Win32 program that
// opens a window of 365 x 140 with the same eight controls as Gradient Logo,
// with the same manifest and icon, and nothing else.
#include <windows.h>

#include <commctrl.h>

namespace {
LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

HWND control(const wchar_t* cls, const wchar_t* text, DWORD style, int x, int y, int w, int h, HWND parent, HFONT font)
{
    HWND c = CreateWindowExW(0, cls, text, WS_CHILD | style, x, y, w, h, parent, nullptr, GetModuleHandleW(nullptr),
                             nullptr);
    SendMessageW(c, WM_SETFONT, WPARAM(font), FALSE);
    return c;
}
}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSEXW c{};
    c.cbSize = sizeof c;
    c.lpfnWndProc = windowProc;
    c.hInstance = instance;
    c.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    c.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    c.lpszClassName = L"BareDialog";
    RegisterClassExW(&c);

    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    RECT frame{0, 0, 365, 140};
    AdjustWindowRect(&frame, style, FALSE);
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int w = frame.right - frame.left, h = frame.bottom - frame.top;
    const int x = work.left + (work.right - work.left - w) / 2, y = work.top + (work.bottom - work.top - h) / 2;
    HWND window = CreateWindowExW(0, c.lpszClassName, L"Bare Window", style, x, y, w, h, nullptr, nullptr, instance,
                                  nullptr);
    HFONT font = CreateFontW(-MulDiv(8, 96, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Arial");
    control(L"BUTTON", L"Make Logo", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 4, 104, 100, 32, window, font);
    control(L"BUTTON", L"Ok Logo", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 248, 104, 100, 32, window, font);
    control(L"BUTTON", L"Gradient Colorbar", WS_VISIBLE | BS_GROUPBOX, 0, 40, 352, 56, window, font);
    control(L"BUTTON", L"Color 1", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 4, 60, 100, 30, window, font);
    control(L"BUTTON", L"Color 2", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 248, 60, 100, 30, window, font);
    control(L"STATIC", L"", SS_OWNERDRAW, 112, 2, 128, 30, window, font);
    control(L"STATIC", L"Color", SS_OWNERDRAW, 112, 60, 64, 32, window, font);
    control(L"STATIC", L"Color", SS_OWNERDRAW, 176, 60, 64, 32, window, font);
    ShowWindow(window, SW_SHOW);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        if (!IsDialogMessageW(window, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    DeleteObject(font);
    return int(msg.wParam);
}
