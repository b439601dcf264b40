#pragma once
// A bitmap: an image that can be made, drawn on through a bound presentation
// space, drawn stretched into another space, loaded from and saved to a file.

#include <memory>
#include <optional>
#include <string>

#include "Device.h"
#include "Native.h"
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

    bool isEmpty() const;
    int width() const;
    int height() const;
    const NativeImage& image() const { return *image_; }

    int deviceHeight() const override;
    NativeImage readPixels(const NativeRect& r) const override;
    void writePixels(const NativeRect& target, const NativeImage& image, bool smooth) override;

    // What the platform keeps to put the image on screen (a DIB section on
    // Windows), made when first needed and dropped when the image changes.
    std::shared_ptr<void> onScreen() const;

private:
    // The decoded picture becomes the platform's image; false where it cannot hold it.
    bool adopt(Pixels pixels);

    std::unique_ptr<NativeImage> image_;
    int planes_ = 1;
    std::shared_ptr<XbpPresSpace> ps_;
    mutable std::shared_ptr<void> onScreen_;
};

}  // namespace rt
