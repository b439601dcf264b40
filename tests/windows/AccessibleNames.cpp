// What a Windows screen reader is told of a window and of every window in it,
// asked of oleacc as a screen reader asks, from a process of its own: a line
// each, "role<TAB>name<TAB>description", the role as its number, in UTF-8.
// Usage: accessible_names "window title"
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

BOOL CALLBACK printChild(HWND hwnd, LPARAM)
{
    if (IsWindowVisible(hwnd))
        print(hwnd);
    return TRUE;
}
}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: accessible_names \"window title\"\n");
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
