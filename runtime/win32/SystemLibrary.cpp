#include "Win32.h"

#include <string>

namespace rt {

// From the system folder only: never a DLL of that name beside the program or
// in the current folder, where LoadLibraryW of a bare name would look first.
HMODULE systemLibrary(const wchar_t* name)
{
    if (HMODULE loaded = GetModuleHandleW(name))
        return loaded;
    wchar_t folder[MAX_PATH];
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (!length || length >= MAX_PATH)
        return nullptr;
    return LoadLibraryW((std::wstring(folder, length) + L"\\" + name).c_str());
}

}  // namespace rt
