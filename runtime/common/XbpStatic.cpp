#include "XbpStatic.h"

#include "Gra.h"
#include "XbpBitmap.h"
#include "XbpPresSpace.h"

namespace rt {

std::shared_ptr<XbpStatic> XbpStatic::New(const std::shared_ptr<XbpWindow>& oParent,
                                          const std::shared_ptr<XbpWindow>& oOwner,
                                          std::optional<Pos> aPos, std::optional<Size> aSize,
                                          const std::shared_ptr<PresParams>& aPP,
                                          std::optional<bool> lVisible)
{
    auto o = std::make_shared<XbpStatic>();
    o->init(oParent, oOwner, aPos, aSize, aPP, lVisible);
    return o;
}

void XbpStatic::setCaption(const std::shared_ptr<XbpBitmap>& oBitmap)
{
    captionBitmap_ = oBitmap;
    contentChanged();
}

void XbpStatic::setColorBG(ColorNumber nColor)
{
    colorBG_ = nColor;
    contentChanged();
}

std::shared_ptr<Device> XbpStatic::winDevice()
{
    return std::static_pointer_cast<XbpStatic>(shared_from_this());
}

std::shared_ptr<XbpPresSpace> XbpStatic::lockPS()
{
    if (!ownPS_) {
        ownPS_ = XbpPresSpace::New();
        ownPS_->create(winDevice());
    }
    locked_ = true;
    return ownPS_;
}

void XbpStatic::unlockPS(const std::shared_ptr<XbpPresSpace>& oPS)
{
    if (oPS == ownPS_)
        locked_ = false;
}

int XbpStatic::deviceHeight() const { return size()[1]; }

std::string XbpStatic::spokenName() const
{
    std::string name = accessibleName.empty() ? caption : accessibleName;
    if (colorBG_)
        if (const std::string words = GraColorWords(*colorBG_); !words.empty())
            name += ": " + words;
    return name;
}

std::string XbpStatic::spokenDescription() const
{
    if (type != TypeBitmap || !captionBitmap_ || captionBitmap_->isEmpty())
        return {};
    return std::to_string(captionBitmap_->width()) + " x " + std::to_string(captionBitmap_->height()) +
           " pixel picture";
}

}  // namespace rt
