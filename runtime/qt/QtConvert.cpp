#include "QtConvert.h"

#include <QApplication>
#include <QPalette>

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

QRect qtRect(const Rect& r, int deviceHeight)
{
    return QRect(r[0], deviceHeight - r[3], r[2] - r[0], r[3] - r[1]);
}

QImage scaledTo(const QImage& image, const QSize& size, bool smooth)
{
    if (image.size() == size)
        return image;
    return image.scaled(size, Qt::IgnoreAspectRatio,
                        smooth ? Qt::SmoothTransformation : Qt::FastTransformation);
}

}  // namespace rt
