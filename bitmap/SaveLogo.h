#pragma once

#include <memory>

#include "Types.h"
#include "XbpBitmap.h"

// Writes the logo to LOGO.BMP in the current directory, replacing the old file
// whole or leaving it as it was. Without a logo nothing is written or erased.
// Nothing on success, else the reason the file could not be written. Inside a
// SaveTogether the file is only prepared, and placed with the others.
rt::Failure SaveLogo(const std::shared_ptr<rt::XbpBitmap>& oBitmap);
