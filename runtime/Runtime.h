#pragma once
// The runtime's lifetime: the Qt application, and SIGINT and SIGTERM turned
// into the quit event.

#include <memory>
#include <optional>
#include <string>

namespace rt {

class Runtime {
public:
    // displayName titles message boxes; argv0 names the program. No other
    // argument reaches Qt.
    Runtime(const char* argv0, const std::string& displayName);
    ~Runtime();
    Runtime(const Runtime&) = delete;
    Runtime& operator=(const Runtime&) = delete;

    // Why no window could be shown here, when that is plain before Qt starts;
    // it ends with the start of the command line to use instead.
    static std::optional<std::string> NoDisplayReason();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

}  // namespace rt
