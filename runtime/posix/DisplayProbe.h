#pragma once
// Whether a display answers, for telling the user what to do when a toolkit
// could not start: the X server at DISPLAY (its socket or TCP), the Wayland
// compositor at WAYLAND_DISPLAY.

#include <string>

namespace rt {

// Which display was asked for, in the user's terms ("DISPLAY=:5, ...").
std::string DisplayAskedFor();
// True only when every platform that QT_QPA_PLATFORM names (X11 and Wayland
// when it names none) shows on a display, and none of those displays answers.
bool NoDisplayAnswers();

}  // namespace rt
