#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "Types.h"
#include "XbpBitmap.h"

// "Ok Logo"'s save: LOGO.TXT as writeLog writes it and LOGO.BMP from the
// logo (none: the old one kept), in the current directory, both new or both
// as they were. A failure's reason is what to tell the user: which file, why,
// and whether the new pair is in place all the same (the disk did not
// confirm its flush).
rt::Failure SaveBoth(const std::function<rt::Failure()>& writeLog, const std::shared_ptr<rt::XbpBitmap>& oLogo);
