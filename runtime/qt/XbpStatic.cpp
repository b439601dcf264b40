#include "XbpStatic.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

#include "Backend.h"
#include "PixelOps.h"
#include "QtConvert.h"
#include "QtNative.h"
#include "XbpBitmap.h"
#include "XbpDrawingArea.h"

namespace rt::backend {

namespace {
// Paints the static's content, then whatever was drawn on it since.
class StaticWidget final : public QWidget {
public:
    StaticWidget(const XbpStatic& owner, QWidget* parent) : QWidget(parent), owner_(owner) {}

    // The window's picture: its content, then what was drawn on it. Painted on
    // screen, and into an image at one pixel per logical pixel to read it back.
    void paintPicture(QPainter& p)
    {
        if (owner_.colorBG())
            if (const auto c = colorFromNumber(*owner_.colorBG()))
                p.fillRect(rect(), *c);
        switch (owner_.type) {
        case XbpStatic::TypeGroupBox: paintGroupBox(p); break;
        case XbpStatic::TypeBitmap:
            if (const auto& bitmap = owner_.captionBitmap())
                if (const NativeImage* image = bitmap->onScreen())
                    p.drawImage(QPoint(0, height() - image->image.height()), image->image);
            break;
        default: paintText(p); break;
        }
        if (!owner_.drawn().isNull())
            p.drawImage(QPoint(0, 0), qtImage(owner_.drawn()));
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        paintPicture(p);
    }

private:
    // The frame and the caption, and nothing else: the box lets the background
    // through unchanged; their inks are the shared CaptionInkOver's.
    void paintGroupBox(QPainter& p)
    {
        const QString text = QString::fromStdString(owner_.caption);
        const QFontMetrics metrics(font());
        const QRect label(8, 0, metrics.horizontalAdvance(text) + 2, metrics.height());
        const CaptionInk look = CaptionInkOver(greyBehind(label));
        const QColor ink = QColor::fromRgba(look.ink), outline = QColor::fromRgba(look.outline);
        const int top = label.center().y();
        const int right = width() - 1;
        const int bottom = height() - 1;
        p.save();
        p.setPen(QColor::fromRgba(look.frame));
        p.drawLine(0, top, label.left() - 2, top);
        p.drawLine(text.isEmpty() ? 0 : label.right() + 2, top, right, top);
        p.drawLine(0, top, 0, bottom);
        p.drawLine(right, top, right, bottom);
        p.drawLine(0, bottom, right, bottom);
        if (!text.isEmpty()) {
            QPainterPath path;
            path.addText(label.left() + 1, label.top() + metrics.ascent(), font(), text);
            p.setRenderHint(QPainter::Antialiasing);
            p.strokePath(path, QPen(outline, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.fillPath(path, ink);
        }
        p.restore();
    }

    // The grey of what shows behind r (in this widget's coordinates).
    int greyBehind(const QRect& r) const
    {
        const auto area = DrawingAreaOf(owner_);
        const QWidget* areaWidget = area ? WidgetOf(*area) : nullptr;
        const QColor plain = areaWidget ? areaWidget->palette().color(areaWidget->backgroundRole())
                                        : palette().color(QPalette::Window);
        return GreyBehind(owner_, {r.x(), r.y(), r.width(), r.height()}, plain.rgba());
    }

    void paintText(QPainter& p)
    {
        // Keep the caption legible on whatever colour the swatch shows.
        QColor pen = palette().color(QPalette::WindowText);
        if (owner_.colorBG())
            if (const auto c = colorFromNumber(*owner_.colorBG()))
                pen = QColor::fromRgba(ReadableInk(c->rgba()));
        p.setPen(pen);
        p.drawText(rect(), Qt::AlignCenter, QString::fromStdString(owner_.caption));
    }

    const XbpStatic& owner_;
};
}  // namespace

NativeWindow* MakeStatic(XbpStatic& control, NativeWindow& parent)
{
    return Adopt(control, new StaticWidget(control, parent.widget));
}

Pixels StaticPicture(const XbpStatic& control)
{
    auto* w = static_cast<StaticWidget*>(WidgetOf(control));
    // Logical pixels, whatever the screen's scale.
    QImage picture(control.size()[0], control.size()[1], QImage::Format_RGB32);
    if (!w || picture.isNull())
        return Pixels();
    picture.fill(w->palette().color(QPalette::Window));
    {
        QPainter p(&picture);
        w->paintPicture(p);
    }
    return pixelsOf(picture);
}

}  // namespace rt::backend
