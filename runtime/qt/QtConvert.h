#pragma once
// Conversions between the runtime's values and Qt's; used inside runtime/qt/ only.

#include <QColor>
#include <QFont>
#include <QImage>
#include <optional>
#include <string>

#include "Pixels.h"
#include "Types.h"

namespace rt {

// "8.Arial": point size, full stop, face name. A missing face falls back
// through the font matcher.
QFont fontFromName(const std::string& name);

// A presentation-parameter colour: a colour number, or a negative system colour
// taken from the application palette. Nothing for transparent or unknown values.
std::optional<QColor> colorFromValue(double value);

std::optional<QColor> colorFromNumber(ColorNumber n);

// The pixels as a Qt image: with an alpha channel where they have one.
QImage qtImage(const Pixels& pixels);
// A Qt image's pixels, 0xAARRGGBB.
Pixels pixelsOf(const QImage& image);

}  // namespace rt
