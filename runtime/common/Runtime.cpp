#include "Runtime.h"

#include <cstdio>

#include "Backend.h"

namespace rt {

namespace {
std::string displayName;
std::string programName;
}  // namespace

Runtime::Runtime(const char* argv0, const std::string& name, const std::string& desktopId)
{
    programName = argv0 ? argv0 : "gradient-logo";
    displayName = name;
    platform_.reset(backend::StartPlatform(programName, desktopId));
}

Runtime::~Runtime() = default;

const std::string& Runtime::DisplayName() { return displayName; }

std::string Runtime::ProgramName() { return programName.substr(programName.find_last_of("/\\") + 1); }

// Not printf: on Windows its formatting code alone would be a tenth of the program.
void Runtime::SayError(const std::string& what)
{
    std::fputs((ProgramName() + ": error: " + what + "\n").c_str(), stderr);
}

}  // namespace rt
