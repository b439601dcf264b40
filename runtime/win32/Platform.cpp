#include "Win32.h"

#include <commctrl.h>

#include "Backend.h"

namespace rt {

struct NativePlatform {};

void DropNativePlatform::operator()(NativePlatform* p) const { delete p; }

// Windows always has a desktop to show the window on: nothing can fail here.
NativePlatform* backend::StartPlatform(const std::string&, const std::string&)
{
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    registerClasses();
    return new NativePlatform;
}

}  // namespace rt
