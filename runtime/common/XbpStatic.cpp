#include "XbpStatic.h"

#include "Backend.h"
#include "Gra.h"
#include "PixelOps.h"
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

XbpStatic::XbpStatic() = default;
XbpStatic::~XbpStatic() = default;

NativeWindow* XbpStatic::makeNative(NativeWindow* parent)
{
    return parent ? backend::MakeStatic(*this, *parent) : nullptr;
}

void XbpStatic::created() { describe(); }

void XbpStatic::describe()
{
    const std::string description = spokenDescription();
    backend::SpokenAs(*this, spokenName(), description.empty() ? accessibleDescription : description);
}

void XbpStatic::contentChanged()
{
    drawn_ = Pixels();  // the new content replaces what was drawn on it
    if (native()) {
        backend::Repaint(*this);
        describe();
    }
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

Pixels XbpStatic::readPixels(const Area& r) const
{
    if (!native())
        return Pixels();
    return Cropped(backend::StaticPicture(*this), r, 0xFF000000);
}

void XbpStatic::writePixels(const Area& target, const Pixels& image, bool smooth)
{
    if (!native() || image.isNull() || target.isEmpty())
        return;
    if (drawn_.width != size()[0] || drawn_.height != size()[1]) {
        drawn_ = Pixels();
        drawn_.width = size()[0];
        drawn_.height = size()[1];
        drawn_.bits = 32;
        drawn_.rgb.assign(std::size_t(drawn_.width) * std::size_t(drawn_.height), 0);
    }
    Pixels scaled = ScaledPixels(image, target.width, target.height, smooth);
    for (auto& c : scaled.rgb)
        c |= 0xFF000000;  // what is drawn covers what was there
    Overlay(drawn_, scaled, target.x, target.y);
    backend::Repaint(*this);
}

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
