#include "Win32.h"

#include <commctrl.h>
#include <objbase.h>

#include "Backend.h"

namespace rt {

// COM in the window thread: a screen reader is handed our controls'
// accessible objects through it.
struct NativePlatform {
    bool com = false;
};

void DropNativePlatform::operator()(NativePlatform* p) const
{
    if (p->com)
        CoUninitialize();
    delete p;
}

// Windows always has a desktop to show the window on: nothing can fail here.
NativePlatform* backend::StartPlatform(const std::string&, const std::string&)
{
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    registerClasses();
    auto* platform = new NativePlatform;
    platform->com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    return platform;
}

}  // namespace rt
