// What a Windows screen reader is told of a window and of every window in it,
// asked of oleacc as a screen reader asks, from a process of its own: a line
// each, "role<TAB>name<TAB>description", the role as its number, in UTF-8.
// With --live, what it hears instead: for that many seconds, the name of
// every live region that says it changed, a line each, as NVDA reads it.
// Usage: accessible_names "window title" | accessible_names --live SECONDS
#include <windows.h>

#include <oleacc.h>

#include <cstdio>
#include <string>

namespace {
std::string utf8(const wchar_t* text, int length)
{
    std::string out(std::size_t(WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, length, out.data(), int(out.size()), nullptr, nullptr);
    return out;
}

// A BSTR's text, or "-" for none; tabs and line ends would break the line.
std::string said(HRESULT hr, BSTR text)
{
    std::string out = SUCCEEDED(hr) && text ? utf8(text, int(SysStringLen(text))) : "-";
    SysFreeString(text);
    for (char& c : out)
        if (c == '\t' || c == '\n' || c == '\r')
            c = ' ';
    return out;
}

bool failed = false;

void print(HWND hwnd)
{
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(hwnd, DWORD(OBJID_CLIENT), __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&object)))) {
        std::printf("no object for window %p\n", static_cast<void*>(hwnd));
        failed = true;
        return;
    }
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    VARIANT role;
    VariantInit(&role);
    const long roleNumber = SUCCEEDED(object->get_accRole(self, &role)) && role.vt == VT_I4 ? role.lVal : -1;
    VariantClear(&role);
    BSTR name = nullptr;
    const HRESULT named = object->get_accName(self, &name);
    BSTR description = nullptr;
    const HRESULT described = object->get_accDescription(self, &description);
    const std::string nameText = said(named, name);
    std::printf("%ld\t%s\t%s\n", roleNumber, nameText.c_str(), said(described, description).c_str());
    object->Release();
}

void CALLBACK heard(HWINEVENTHOOK, DWORD, HWND hwnd, LONG object, LONG child, DWORD, DWORD)
{
    IAccessible* accessible = nullptr;
    VARIANT which;
    VariantInit(&which);
    if (FAILED(AccessibleObjectFromEvent(hwnd, DWORD(object), DWORD(child), &accessible, &which)))
        return;
    BSTR name = nullptr;
    const HRESULT named = accessible->get_accName(which, &name);
    std::printf("%s\n", said(named, name).c_str());
    std::fflush(stdout);
    accessible->Release();
}

int listen(int seconds)
{
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_LIVEREGIONCHANGED, EVENT_OBJECT_LIVEREGIONCHANGED, nullptr,
                                         heard, 0, 0, WINEVENT_OUTOFCONTEXT);
    if (!hook)
        return 1;
    SetTimer(nullptr, 0, UINT(seconds) * 1000, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0 && msg.message != WM_TIMER)
        DispatchMessageW(&msg);
    UnhookWinEvent(hook);
    return 0;
}

BOOL CALLBACK printChild(HWND hwnd, LPARAM)
{
    if (IsWindowVisible(hwnd))
        print(hwnd);
    return TRUE;
}
}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc == 3 && std::wstring(argv[1]) == L"--live") {
        if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
            return 1;
        const int status = listen(_wtoi(argv[2]));
        CoUninitialize();
        return status;
    }
    if (argc != 2) {
        std::fprintf(stderr, "usage: accessible_names \"window title\" | accessible_names --live SECONDS\n");
        return 2;
    }
    HWND top = FindWindowW(nullptr, argv[1]);
    if (!top) {
        std::fprintf(stderr, "accessible_names: no window of that title\n");
        return 1;
    }
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
        return 1;
    print(top);
    EnumChildWindows(top, printChild, 0);
    std::fflush(stdout);
    CoUninitialize();
    return failed ? 1 : 0;
}
