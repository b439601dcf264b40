#include "XbpBitmap.h"

#include "XbpPresSpace.h"

namespace rt {

std::shared_ptr<XbpBitmap> XbpBitmap::New() { return std::make_shared<XbpBitmap>(); }

void XbpBitmap::create() {}

int XbpBitmap::planes() const { return isEmpty() ? 1 : planes_; }

void XbpBitmap::presSpace(const std::shared_ptr<XbpPresSpace>& oPS)
{
    ps_ = oPS;
    if (oPS)
        oPS->bind(shared_from_this());
}

}  // namespace rt
