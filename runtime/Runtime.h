#pragma once
// The runtime's lifetime. On Qt: the application with the user's language for
// what Qt itself draws, screen-reader roles for our controls, and SIGINT and
// SIGTERM turned into the quit event. On Windows: the common controls and our
// window classes.

#include <memory>
#include <string>

#include "NativeSlot.h"

namespace rt {

class Runtime {
public:
    // displayName titles message boxes; desktopId names the desktop entry (the
    // app id on Wayland); argv0 names the program. No other argument reaches
    // the platform. Where no display can be reached, in any form, it says so in
    // one line with the command to use instead and ends the process with
    // status 1; any other failure of Qt to start is said as Qt said it, in one
    // line, status 1.
    Runtime(const char* argv0, const std::string& displayName, const std::string& desktopId = {});
    ~Runtime();
    Runtime(const Runtime&) = delete;
    Runtime& operator=(const Runtime&) = delete;

    // The names alone, for a run without the platform (the command line).
    static void Name(const char* argv0, const std::string& displayName);

    static const std::string& DisplayName();
    // The program's file name without its folder, for messages on standard error.
    static std::string ProgramName();
    // "program: error: what" on standard error, a line.
    static void SayError(const std::string& what);
    // A line on standard output.
    static void Say(const std::string& line);

private:
    std::unique_ptr<NativePlatform, DropNativePlatform> platform_;
};

}  // namespace rt
