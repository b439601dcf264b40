#pragma once
// A bitmap: an image that can be made, drawn on through a bound presentation
// space, drawn stretched into another space, loaded from and saved to a file.

#include <memory>
#include <optional>
#include <string>

#include "Device.h"
#include "NativeSlot.h"
#include "Pixels.h"
#include "Types.h"

namespace rt {

class XbpPresSpace;

class XbpBitmap final : public Device, public std::enable_shared_from_this<XbpBitmap> {
public:
    static constexpr int kDefaultBits = 24;

    static std::shared_ptr<XbpBitmap> New();
    XbpBitmap();
    ~XbpBitmap() override;
    XbpBitmap(const XbpBitmap&) = delete;
    XbpBitmap& operator=(const XbpBitmap&) = delete;

    void create();

    // A new white image; without planes and bits in the default format, 24 bits
    // in 1 plane. 1, 8, 24 and 32 bits are honoured. A size <= 0 gives no image.
    void make(int nWidth, int nHeight, std::optional<int> nPlanes = std::nullopt,
              std::optional<int> nBits = std::nullopt);

    // Bits per pixel and colour planes; a bitmap without an image reports the default.
    int bits() const;
    int planes() const;

    // Binds the space to this bitmap: drawing on it draws into the image.
    void presSpace(const std::shared_ptr<XbpPresSpace>& oPS);
    std::shared_ptr<XbpPresSpace> presSpace() const { return ps_; }

    // Mode 3: the whole image stretched over aTargetRect of the space, smoothly
    // filtered. No source rectangle and no raster operation are supported.
    void draw(XbpPresSpace& oPS, const Rect& aTargetRect,
              std::optional<Rect> aSourceRect = std::nullopt,
              std::optional<int> nRop = std::nullopt, int nMode = 3) const;

    // Reads a BMP file; anything unreadable leaves no image and gives the reason.
    Failure loadFile(const std::string& cFile);
    // Writes a 24-bit Windows BMP, replacing the file whole or not at all.
    Failure saveFile(const std::string& cFile) const;

    bool isEmpty() const { return image_.isNull(); }
    int width() const { return image_.width; }
    int height() const { return image_.height; }
    // The picture: rows from the top, a palette picture with its palette.
    const Pixels& pixels() const { return image_; }

    int deviceHeight() const override { return image_.height; }
    Pixels readPixels(const Area& r) const override;
    void writePixels(const Area& target, const Pixels& image, bool smooth) override;

    // The picture as the platform puts it on screen, made when first needed
    // and dropped when the picture changes; null for no picture.
    NativeImage* onScreen() const;

private:
    void changed() { onScreen_.reset(); }

    Pixels image_;
    int planes_ = 1;
    std::shared_ptr<XbpPresSpace> ps_;
    mutable std::unique_ptr<NativeImage, DropNativeImage> onScreen_;
};

}  // namespace rt
