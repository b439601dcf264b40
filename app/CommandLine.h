#pragma once

#include <optional>
#include <string>
#include <vector>

// The options a script gives in place of the window: a logo saved from two
// colours, the colours of LOGO.TXT printed, the options, the version. Run
// with no window and no platform started. The exit status when the arguments
// hold an option; nothing when they hold none, and the window opens (a file
// dropped on the program, or "Open with", gives no option).
std::optional<int> CommandLine(const char* argv0, const std::vector<std::string>& args);
