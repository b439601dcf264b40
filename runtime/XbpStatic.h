#pragma once
// A static control: caption text (the default type), a group box (type 2) or a
// bitmap caption shown from its lower-left corner (type 5). Its picture can be
// drawn on through a presentation space and read back while locked.

#include <memory>
#include <optional>
#include <string>

#include "Device.h"
#include "XbpWindow.h"

namespace rt {

class XbpBitmap;
class XbpPresSpace;

class XbpStatic final : public XbpWindow, public Device {
public:
    static constexpr int TypeText = 1;
    static constexpr int TypeGroupBox = 2;
    static constexpr int TypeBitmap = 5;

    static std::shared_ptr<XbpStatic> New(const std::shared_ptr<XbpWindow>& oParent = nullptr,
                                          const std::shared_ptr<XbpWindow>& oOwner = nullptr,
                                          std::optional<Pos> aPos = std::nullopt,
                                          std::optional<Size> aSize = std::nullopt,
                                          const std::shared_ptr<PresParams>& aPP = nullptr,
                                          std::optional<bool> lVisible = std::nullopt);
    XbpStatic();
    ~XbpStatic() override;

    int type = TypeText;
    std::string caption;
    int options = 0;  // recorded as given; no backend needs it
    bool clipSiblings = false;
    // What screen readers call it; the caption when empty. A colour shown is
    // added to it.
    std::string accessibleName;

    void setCaption(const std::shared_ptr<XbpBitmap>& oBitmap);
    std::shared_ptr<XbpBitmap> captionBitmap() const { return captionBitmap_; }
    void setColorBG(ColorNumber nColor);
    std::optional<ColorNumber> colorBG() const { return colorBG_; }

    // The device that a presentation space draws on to draw on this window.
    std::shared_ptr<Device> winDevice();
    // The window's own presentation space, for reading its picture back.
    std::shared_ptr<XbpPresSpace> lockPS();
    void unlockPS(const std::shared_ptr<XbpPresSpace>& oPS);
    bool isLocked() const { return locked_; }

    int deviceHeight() const override;
    Pixels readPixels(const Area& r) const override;
    void writePixels(const Area& target, const Pixels& image, bool smooth) override;

    // What presentation spaces drew on it since its content last changed, at
    // its size, alpha 0 where nothing was drawn; for its backend, which shows
    // it over the content.
    const Pixels& drawn() const { return drawn_; }

protected:
    NativeWindow* makeNative(NativeWindow* parent) override;
    void created() override;

private:
    // Tells the platform's accessibility what spokenName and spokenDescription say.
    void describe();
    // The name a screen reader says: the accessible name or caption, and the
    // colour shown ("Color 1: red 255, green 0, blue 0").
    std::string spokenName() const;
    // For a bitmap caption, its size ("128 x 24 pixel picture"); else empty.
    std::string spokenDescription() const;
    void contentChanged();

    std::shared_ptr<XbpBitmap> captionBitmap_;
    std::optional<ColorNumber> colorBG_;
    std::shared_ptr<XbpPresSpace> ownPS_;
    Pixels drawn_;
    bool locked_ = false;
};

}  // namespace rt
