#include "XbpBitmap.h"

#include <QBuffer>
#include <QFile>
#include <QtEndian>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <stdexcept>

#include "QtConvert.h"
#include "System.h"
#include "XbpPresSpace.h"

namespace rt {

namespace {
// A logo file larger than this is not a logo: refuse it before any pixel is
// allocated, so that a hostile header cannot exhaust memory.
constexpr qint64 kMaxPixels = 25LL * 1000 * 1000;
constexpr int kMaxSide = 32768;

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

// Only these formats are kept; anything else a file gives becomes 24 or 32 bits.
QImage normalised(QImage image)
{
    // A file's pixels may name colours past its palette (RLE data can); Qt would
    // read past the colour table when converting them. Such colours are black.
    const int colours = image.format() == QImage::Format_Indexed8 ? 256
                        : image.depth() == 1                      ? 2
                                                                  : 0;
    if (image.colorCount() < colours) {
        QList<QRgb> table = image.colorTable();
        table.resize(colours, qRgb(0, 0, 0));
        image.setColorTable(table);
    }
    switch (image.format()) {
    case QImage::Format_Mono:
    case QImage::Format_Indexed8:
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32: return image;
    case QImage::Format_MonoLSB: return image.convertToFormat(QImage::Format_Mono);
    default:
        return image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32
                                                             : QImage::Format_RGB32);
    }
}

// Qt reads past a wrong pixel offset or a short file and makes up the rest;
// such a file, and one too large for a logo, is refused here instead, before
// any pixel is allocated. Only the headers are looked at.
bool bmpLooksWhole(QIODevice& file, bool& compressed)
{
    const QByteArray h = file.peek(54);
    const qint64 fileSize = file.size();
    if (h.size() < 26 || !h.startsWith("BM"))
        return false;
    const auto u16 = [&h](int at) { return qFromLittleEndian<quint16>(h.constData() + at); };
    const auto u32 = [&h](int at) { return qFromLittleEndian<quint32>(h.constData() + at); };
    const quint32 offset = u32(10);
    const quint32 headerSize = u32(14);
    qint64 width = 0, height = 0;
    quint32 planes = 0, bitCount = 0, compression = 0;
    if (headerSize == 12) {  // the OS/2 core header
        width = qint16(u16(18));
        height = qint16(u16(20));
        planes = u16(22);
        bitCount = u16(24);
    } else if (headerSize >= 40 && h.size() >= 34) {
        width = qint32(u32(18));
        height = qint32(u32(22));
        planes = u16(26);
        bitCount = u16(28);
        compression = u32(30);
    } else {
        return false;
    }
    if (width <= 0 || height == 0 || planes != 1 || bitCount == 0 || bitCount > 32)
        return false;
    if (width > kMaxSide || qAbs(height) > kMaxSide || width * qAbs(height) > kMaxPixels)
        return false;
    if (offset < 14 + headerSize || offset >= fileSize)
        return false;
    const bool uncompressed = compression == 0 || compression == 3 || compression == 6;
    compressed = !uncompressed;
    const qint64 rowBytes = (width * bitCount + 31) / 32 * 4;
    return !uncompressed || fileSize - offset >= rowBytes * qAbs(height);
}

// Compressed (RLE) data need not reach every pixel: it may end early or skip
// with delta codes, and Qt leaves the pixels it does not reach as the allocator
// gave them. So the file is read twice, into images filled beforehand with two
// different indices (Qt reuses an image of the right size and format): a
// pixel that differs between the two reads was never written, and is black.
bool readCompressed(QIODevice& file, QImage& out)
{
    const qint64 start = file.pos();
    QImageReader probe(&file, "bmp");
    const QSize size = probe.size();
    const QImage::Format format = probe.imageFormat();
    if (!size.isValid() || format != QImage::Format_Indexed8)
        return false;
    QImage reads[2];
    for (int i = 0; i < 2; ++i) {
        reads[i] = QImage(size, format);
        reads[i].fill(i == 0 ? 0u : 255u);
        if (!file.seek(start))
            return false;
        QImageReader reader(&file, "bmp");
        if (!reader.read(&reads[i]) || reads[i].size() != size || reads[i].format() != format)
            return false;
    }
    QImage image = reads[0];
    QList<QRgb> table = image.colorTable();
    table.resize(256, qRgb(0, 0, 0));
    // Index 255 is black unless the palette fills it; then a full palette
    // leaves no spare index, and the picture becomes true colour instead.
    const bool spare = image.colorCount() < 256 || table[255] == qRgb(0, 0, 0);
    if (spare) {
        table[255] = qRgb(0, 0, 0);
        image.setColorTable(table);
    } else {
        image = image.convertToFormat(QImage::Format_RGB32);
    }
    for (int y = 0; y < size.height(); ++y) {
        const uchar* a = reads[0].constScanLine(y);
        const uchar* b = reads[1].constScanLine(y);
        for (int x = 0; x < size.width(); ++x) {
            if (a[x] == b[x])
                continue;
            if (spare)
                image.scanLine(y)[x] = 255;
            else
                image.setPixel(x, y, qRgb(0, 0, 0));
        }
    }
    out = image;
    return true;
}

bool paintable(QImage::Format f) { return f != QImage::Format_Mono && f != QImage::Format_Indexed8; }
}  // namespace

std::shared_ptr<XbpBitmap> XbpBitmap::New() { return std::make_shared<XbpBitmap>(); }

XbpBitmap::XbpBitmap() : image_(std::make_unique<QImage>()) {}
XbpBitmap::~XbpBitmap() = default;

void XbpBitmap::create() {}

void XbpBitmap::make(int nWidth, int nHeight, std::optional<int> nPlanes, std::optional<int> nBits)
{
    planes_ = std::max(1, nPlanes.value_or(1));
    if (nWidth <= 0 || nHeight <= 0 || qint64(nWidth) * nHeight > kMaxPixels) {
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
int XbpBitmap::planes() const { return image_->isNull() ? 1 : planes_; }

void XbpBitmap::presSpace(const std::shared_ptr<XbpPresSpace>& oPS)
{
    ps_ = oPS;
    if (oPS)
        oPS->bind(shared_from_this());
}

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

bool XbpBitmap::loadFile(const std::string& cFile)
{
    *image_ = QImage();
    planes_ = 1;
    QFile file(QString::fromStdString(cFile));
    bool compressed = false;
    if (!file.open(QIODevice::ReadOnly) || !bmpLooksWhole(file, compressed))
        return false;
    QImage image;
    if (compressed) {
        if (!readCompressed(file, image))
            return false;
    } else {
        QImageReader reader(&file, "bmp");
        if (!reader.read(&image) || image.isNull())
            return false;
    }
    *image_ = normalised(std::move(image));
    return true;
}

Failure XbpBitmap::saveFile(const std::string& cFile) const
{
    if (image_->isNull())
        return "the bitmap holds no image";
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "bmp");
    if (!writer.write(image_->convertToFormat(QImage::Format_RGB32)))
        return writer.errorString().toStdString();
    return WriteFileAtomic(cFile, bytes.toStdString());
}

bool XbpBitmap::isEmpty() const { return image_->isNull(); }
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
