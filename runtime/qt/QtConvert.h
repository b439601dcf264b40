#pragma once
// Conversions from the runtime's values to Qt's; used inside runtime/ only.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRect>
#include <optional>
#include <string>

#include "Types.h"

namespace rt {

// "8.Arial": point size, full stop, face name. A missing face falls back
// through the font matcher.
QFont fontFromName(const std::string& name);

// A presentation-parameter colour: a colour number, or a negative system colour
// taken from the application palette. Nothing for transparent or unknown values.
std::optional<QColor> colorFromValue(double value);

std::optional<QColor> colorFromNumber(ColorNumber n);

// A lower-left rectangle {x1, y1, x2, y2} on a device of the given height.
QRect qtRect(const Rect& r, int deviceHeight);

// The image at the given size; smooth scaling filters properly when reducing.
QImage scaledTo(const QImage& image, const QSize& size, bool smooth);

}  // namespace rt
