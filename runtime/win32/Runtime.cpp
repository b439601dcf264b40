#include "Runtime.h"

#include "Win32.h"

#include <commctrl.h>

namespace rt {

namespace {
std::string displayName;
std::string programName;
}  // namespace

struct Runtime::Impl {};

// Windows always has a desktop to show the window on: nothing can fail here.
Runtime::Runtime(const char* argv0, const std::string& name, const std::string&) : d(std::make_unique<Impl>())
{
    programName = argv0 ? argv0 : "gradient-logo";
    displayName = name;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    registerClasses();
}

Runtime::~Runtime() = default;

const std::string& Runtime::DisplayName() { return displayName; }

std::string Runtime::ProgramName()
{
    const std::size_t slash = programName.find_last_of("/\\");
    return slash == std::string::npos ? programName : programName.substr(slash + 1);
}

}  // namespace rt
