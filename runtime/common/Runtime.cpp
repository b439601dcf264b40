#include "Runtime.h"

#include "Backend.h"

namespace rt {

namespace {
std::string displayName;
std::string programName;
}  // namespace

Runtime::Runtime(const char* argv0, const std::string& name, const std::string& desktopId)
{
    Name(argv0, name);
    platform_.reset(backend::StartPlatform(programName, desktopId));
}

void Runtime::Name(const char* argv0, const std::string& name)
{
    programName = argv0 ? argv0 : "gradient-logo";
    displayName = name;
}

Runtime::~Runtime() = default;

const std::string& Runtime::DisplayName() { return displayName; }

std::string Runtime::ProgramName() { return programName.substr(programName.find_last_of("/\\") + 1); }

void Runtime::SayError(const std::string& what) { backend::WriteLine(true, ProgramName() + ": error: " + what); }

void Runtime::Say(const std::string& line) { backend::WriteLine(false, line); }

}  // namespace rt
