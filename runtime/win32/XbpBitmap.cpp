// Pictures on Windows: a bitmap's picture as a DIB section, and our own scaling.
#include "Backend.h"
#include "PixelOps.h"
#include "Win32.h"

namespace rt {

void DropNativeImage::operator()(NativeImage* native) const
{
    if (native->dib)
        DeleteObject(native->dib);
    delete native;
}

void drawImage(HDC dc, const NativeImage* image, int x, int y, int dpi)
{
    if (!image || !image->dib)
        return;
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, image->dib);
    if (dpi == 96) {
        BitBlt(dc, x, y, image->width, image->height, memory, 0, 0, SRCCOPY);
    } else {
        // Whole pixels, as Qt shows a picture at a scale of 2: no blur.
        SetStretchBltMode(dc, COLORONCOLOR);
        StretchBlt(dc, x, y, scaled(image->width, dpi), scaled(image->height, dpi), memory, 0, 0, image->width,
                   image->height, SRCCOPY);
    }
    SelectObject(memory, old);
    DeleteDC(memory);
}

namespace backend {

NativeImage* MakeImage(const Pixels& image)
{
    if (image.isNull())
        return nullptr;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = image.width;
    info.bmiHeader.biHeight = -image.height;  // rows from the top
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!dib || !bits)
        return nullptr;
    auto* out = static_cast<std::uint32_t*>(bits);
    for (std::size_t i = 0; i < image.rgb.size(); ++i)
        out[i] = image.rgb[i] & 0xFFFFFF;
    GdiFlush();
    return new NativeImage{dib, image.width, image.height};
}

}  // namespace backend
}  // namespace rt
