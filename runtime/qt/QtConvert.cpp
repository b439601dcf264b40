#include "QtConvert.h"

#include <QApplication>
#include <QPalette>
#include <algorithm>

#include "Gra.h"

namespace rt {

QFont fontFromName(const std::string& name)
{
    const QString text = QString::fromStdString(name);
    const qsizetype dot = text.indexOf('.');
    bool ok = false;
    const double points = dot > 0 ? text.left(dot).toDouble(&ok) : 0.0;
    QFont font(dot >= 0 ? text.mid(dot + 1) : text);
    if (ok && points > 0)
        font.setPointSizeF(points);
    return font;
}

std::optional<QColor> colorFromValue(double value)
{
    if (value >= 0)
        return colorFromNumber(static_cast<ColorNumber>(value));
    const QPalette pal = QApplication::palette();
    if (value == SYSCLR_BUTTONFACE)
        return pal.color(QPalette::Button);
    if (value == SYSCLR_BUTTONTEXT)
        return pal.color(QPalette::ButtonText);
    return std::nullopt;
}

std::optional<QColor> colorFromNumber(ColorNumber n)
{
    const auto rgb = GraGetRGBIntensity(n);
    if (!rgb)
        return std::nullopt;
    return QColor((*rgb)[0], (*rgb)[1], (*rgb)[2]);
}

QImage qtImage(const Pixels& p)
{
    QImage image(p.width, p.height, p.bits == 32 ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    for (int y = 0; y < p.height && !image.isNull(); ++y)
        std::copy_n(p.rgb.data() + std::size_t(y) * std::size_t(p.width), p.width,
                    reinterpret_cast<QRgb*>(image.scanLine(y)));
    return image;
}

Pixels pixelsOf(const QImage& image)
{
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    Pixels p;
    p.width = argb.width();
    p.height = argb.height();
    p.bits = image.hasAlphaChannel() ? 32 : 24;
    p.rgb.resize(std::size_t(p.width) * std::size_t(p.height));
    for (int y = 0; y < p.height; ++y)
        std::copy_n(reinterpret_cast<const QRgb*>(argb.constScanLine(y)), p.width,
                    p.rgb.data() + std::size_t(y) * std::size_t(p.width));
    return p;
}

}  // namespace rt
