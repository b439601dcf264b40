#pragma once
// Value types shared by every layer: positions, sizes and rectangles in pixels
// (lower-left origin, y upwards), colour numbers, presentation parameters,
// actions and event codes.

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "Failure.h"

namespace rt {

using Pos = std::array<int, 2>;   // {x, y}: lower-left corner in the parent's area
using Size = std::array<int, 2>;  // {width, height}
using Rect = std::array<int, 4>;  // {x1, y1, x2, y2}: far edges exclusive
using RGB = std::array<int, 3>;   // {red, green, blue}, each 0..255

// A colour number composed by GraMakeRGBColor; greater than 0 for every colour,
// black included, so that 0 can mean "no colour".
using ColorNumber = long;

// Presentation parameter {identifier, value}: 15 font ("8.Arial"), 4 background,
// 2 foreground; negative colours are system colours, -255 is transparent.
struct PresParam {
    int id;
    std::variant<double, std::string> value;
    bool operator==(const PresParam&) const = default;
};
using PresParams = std::vector<PresParam>;
inline constexpr int PP_FGCLR = 2;
inline constexpr int PP_BGCLR = 4;
inline constexpr int PP_FONT = 15;
inline constexpr double SYSCLR_TRANSPARENT = -255.0;
inline constexpr double SYSCLR_BUTTONFACE = -40.0;
inline constexpr double SYSCLR_BUTTONTEXT = -58.0;

// A handler attached to a button's activate or a dialog's Close.
using Action = std::function<void()>;


// Event parameters; the system never reads them.
using MsgParam = std::optional<long>;

inline constexpr long EVENT_BASE = 1048576;
inline constexpr long EVENT_ACTIVATE = EVENT_BASE + 1;   // a push button was pressed
inline constexpr long EVENT_SETFOCUS = EVENT_BASE + 2;   // focus came back after a modal dialog
inline constexpr long EVENT_CLOSE = EVENT_BASE + 56;     // 1048632
inline constexpr long EVENT_QUIT = EVENT_BASE + 57;      // 1048633

}  // namespace rt
