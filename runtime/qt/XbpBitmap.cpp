#include "XbpBitmap.h"

#include <QFile>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <stdexcept>

#include "BmpCodec.h"
#include "QtConvert.h"
#include "System.h"
#include "XbpPresSpace.h"

namespace rt {

namespace {
QImage::Format formatForBits(int bits)
{
    switch (bits) {
    case 1: return QImage::Format_Mono;
    case 8: return QImage::Format_Indexed8;
    case 32: return QImage::Format_ARGB32;
    default: return QImage::Format_RGB32;
    }
}

int bitsOf(const QImage& image)
{
    switch (image.format()) {
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB: return 1;
    case QImage::Format_Indexed8:
    case QImage::Format_Grayscale8: return 8;
    default: return image.hasAlphaChannel() ? 32 : 24;
    }
}

// A decoded picture in the format that its bits call for. A palette picture's
// table is filled up with black, so that every index a pixel can hold names a colour.
QImage imageOf(const Pixels& p)
{
    QImage image(p.width, p.height, formatForBits(p.bits));
    if (image.isNull())
        return image;
    if (p.bits == 1 || p.bits == 8) {
        QList<QRgb> table(p.palette.begin(), p.palette.end());
        table.resize(p.bits == 1 ? 2 : 256, qRgb(0, 0, 0));
        image.setColorTable(table);
        QHash<QRgb, uint> index;
        for (qsizetype i = table.size() - 1; i >= 0; --i)
            index[table[i]] = uint(i);
        for (int y = 0; y < p.height; ++y)
            for (int x = 0; x < p.width; ++x)
                image.setPixel(x, y, index.value(p.at(x, y)));
        return image;
    }
    for (int y = 0; y < p.height; ++y)
        std::copy_n(p.rgb.data() + std::size_t(y) * std::size_t(p.width), p.width,
                    reinterpret_cast<QRgb*>(image.scanLine(y)));
    return image;
}

Pixels pixelsOf(const QImage& image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    Pixels p;
    p.width = rgb.width();
    p.height = rgb.height();
    p.rgb.resize(std::size_t(p.width) * std::size_t(p.height));
    for (int y = 0; y < p.height; ++y)
        std::copy_n(reinterpret_cast<const QRgb*>(rgb.constScanLine(y)), p.width,
                    p.rgb.data() + std::size_t(y) * std::size_t(p.width));
    return p;
}

bool paintable(QImage::Format f) { return f != QImage::Format_Mono && f != QImage::Format_Indexed8; }
}  // namespace

XbpBitmap::XbpBitmap() : image_(std::make_unique<QImage>()) {}
XbpBitmap::~XbpBitmap() = default;

void XbpBitmap::make(int nWidth, int nHeight, std::optional<int> nPlanes, std::optional<int> nBits)
{
    planes_ = std::max(1, nPlanes.value_or(1));
    if (nWidth <= 0 || nHeight <= 0 || qint64(nWidth) * nHeight > kMaxBmpPixels) {
        *image_ = QImage();
        return;
    }
    QImage image(nWidth, nHeight, formatForBits(nBits.value_or(kDefaultBits)));
    if (image.format() == QImage::Format_Mono) {
        image.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
        image.fill(0);
    } else if (image.format() == QImage::Format_Indexed8) {
        QList<QRgb> grey(256);
        for (int i = 0; i < 256; ++i)
            grey[i] = qRgb(i, i, i);
        image.setColorTable(grey);
        image.fill(255);
    } else {
        image.fill(Qt::white);
    }
    *image_ = image;
}

int XbpBitmap::bits() const { return image_->isNull() ? kDefaultBits : bitsOf(*image_); }
void XbpBitmap::draw(XbpPresSpace& oPS, const Rect& aTargetRect, std::optional<Rect> aSourceRect,
                     std::optional<int> nRop, int nMode) const
{
    if (aSourceRect || nRop || nMode != 3)
        throw std::invalid_argument("XbpBitmap::draw: only the whole image in mode 3 is supported");
    const auto device = oPS.device();
    if (!device || image_->isNull())
        return;
    device->writePixels(qtRect(aTargetRect, device->deviceHeight()), *image_, true);
}

bool XbpBitmap::adopt(Pixels pixels)
{
    *image_ = pixels.isNull() ? QImage() : imageOf(pixels);
    return pixels.isNull() || !image_->isNull();
}

Failure XbpBitmap::saveFile(const std::string& cFile) const
{
    if (image_->isNull())
        return "the bitmap holds no image";
    return WriteFileAtomic(cFile, EncodeBmp24(pixelsOf(*image_)));
}

bool XbpBitmap::isEmpty() const { return image_->isNull(); }

// Qt paints the image itself.
std::shared_ptr<void> XbpBitmap::onScreen() const { return nullptr; }
int XbpBitmap::width() const { return image_->width(); }
int XbpBitmap::height() const { return image_->height(); }

int XbpBitmap::deviceHeight() const { return image_->height(); }

QImage XbpBitmap::readPixels(const QRect& r) const
{
    return image_->isNull() ? QImage() : image_->copy(r).convertToFormat(QImage::Format_ARGB32);
}

void XbpBitmap::writePixels(const QRect& target, const QImage& image, bool smooth)
{
    if (image_->isNull() || image.isNull() || target.isEmpty())
        return;
    const QImage scaled = scaledTo(image, target.size(), smooth);
    const auto paint = [&](QImage& canvas) {
        QPainter painter(&canvas);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(target.topLeft(), scaled);
    };
    const QImage::Format format = image_->format();
    if (paintable(format)) {
        paint(*image_);
        return;
    }
    // QPainter cannot paint on 1- and 8-bit images: paint a true-colour copy.
    QImage canvas = image_->convertToFormat(QImage::Format_ARGB32);
    paint(canvas);
    if (format == QImage::Format_Indexed8 && !image.colorTable().isEmpty()) {
        // A palette picture keeps its own colours: each pixel takes the
        // nearest colour of its palette, so the picture's own colours come
        // back exact. What the picture does not cover keeps its colours too.
        QList<QRgb> table = target.contains(image_->rect()) ? QList<QRgb>() : image_->colorTable();
        for (const QRgb c : image.colorTable())
            if (table.size() < 256 && !table.contains(c))
                table.push_back(c);
        *image_ = canvas.convertToFormat(format, table, Qt::ThresholdDither | Qt::AvoidDither);
        return;
    }
    *image_ = canvas.convertToFormat(format, Qt::ThresholdDither | Qt::AvoidDither);
}

}  // namespace rt
