#include "XbpBitmap.h"

#include "BmpCodec.h"
#include "System.h"
#include "XbpPresSpace.h"

namespace rt {

std::shared_ptr<XbpBitmap> XbpBitmap::New() { return std::make_shared<XbpBitmap>(); }

void XbpBitmap::create() {}

int XbpBitmap::planes() const { return isEmpty() ? 1 : planes_; }

Failure XbpBitmap::loadFile(const std::string& cFile)
{
    adopt(Pixels());
    planes_ = 1;
    std::string bytes;
    if (Failure f = ReadWholeFile(cFile, kMaxBmpFileBytes, bytes))
        return f;
    auto pixels = DecodeBmp(bytes);
    if (!pixels)
        return "not a BMP file that can be read";
    if (!adopt(std::move(*pixels)))
        return "too large to hold";
    return std::nullopt;
}

void XbpBitmap::presSpace(const std::shared_ptr<XbpPresSpace>& oPS)
{
    ps_ = oPS;
    if (oPS)
        oPS->bind(shared_from_this());
}

}  // namespace rt
