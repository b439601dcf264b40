#include "XbpStatic.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QWidget>

#include "QtConvert.h"
#include "XbpBitmap.h"
#include "XbpDrawingArea.h"
#include "XbpPresSpace.h"

namespace rt {

// Paints the static's content, then whatever was drawn on it since.
class XbpStatic::Widget final : public QWidget {
public:
    Widget(XbpStatic& owner, QWidget* parent) : QWidget(parent), owner_(owner) {}

    // What presentation spaces drew on the window, in logical pixels.
    QImage drawn;

    // The window's picture: its content, then what was drawn on it. Painted on
    // screen, and into an image at one pixel per logical pixel to read it back.
    void paintPicture(QPainter& p)
    {
        if (owner_.colorBG_)
            if (const auto c = colorFromNumber(*owner_.colorBG_))
                p.fillRect(rect(), *c);
        switch (owner_.type) {
        case TypeGroupBox: paintGroupBox(p); break;
        case TypeBitmap:
            if (owner_.captionBitmap_ && !owner_.captionBitmap_->isEmpty()) {
                const QImage& image = owner_.captionBitmap_->image();
                p.drawImage(QPoint(0, height() - image.height()), image);
            }
            break;
        default: paintText(p); break;
        }
        if (!drawn.isNull())
            p.drawImage(QPoint(0, 0), drawn);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        paintPicture(p);
    }

private:
    // The frame and the caption, and nothing else: the box lets the background
    // through unchanged. The caption is white on a dark background and black
    // on a light one, outlined in the other, so that it stays legible where a
    // gradient changes under it; the frame is a faint line of the same ink.
    void paintGroupBox(QPainter& p)
    {
        const QString text = QString::fromStdString(owner_.caption);
        const QFontMetrics metrics(font());
        const QRect label(8, 0, metrics.horizontalAdvance(text) + 2, metrics.height());
        const QColor ink = backgroundIsDark(label) ? Qt::white : Qt::black;
        const QColor outline = ink == Qt::white ? Qt::black : Qt::white;
        const int top = label.center().y();
        const int right = width() - 1;
        const int bottom = height() - 1;
        p.save();
        QColor line = ink;
        line.setAlpha(140);
        p.setPen(line);
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

    // Whether what shows behind r (in this widget's coordinates) is dark: the
    // drawing area's bitmap where it covers r, else the area's own colour.
    bool backgroundIsDark(const QRect& r) const
    {
        std::shared_ptr<XbpDrawingArea> area;
        for (auto w = owner_.parent(); w && !area; w = w->parent())
            area = std::dynamic_pointer_cast<XbpDrawingArea>(w);
        QWidget* areaWidget = area ? area->widget() : nullptr;
        if (!areaWidget)
            return qGray(palette().color(QPalette::Window).rgb()) < 128;
        const QColor plain = areaWidget->palette().color(areaWidget->backgroundRole());
        const QImage* image = area->bitmap && !area->bitmap->isEmpty() ? &area->bitmap->image() : nullptr;
        const QPoint origin = mapTo(areaWidget, r.topLeft());
        const int imageTop = areaWidget->height() - (image ? image->height() : 0);
        long long sum = 0, count = 0;
        for (int y = origin.y(); y < origin.y() + r.height(); ++y)
            for (int x = origin.x(); x < origin.x() + r.width(); ++x, ++count) {
                const bool onImage = image && image->valid(x, y - imageTop);
                sum += qGray(onImage ? image->pixel(x, y - imageTop) : plain.rgb());
            }
        return count > 0 && sum < 128 * count;
    }

    void paintText(QPainter& p)
    {
        // Keep the caption legible on whatever colour the swatch shows.
        QColor pen = palette().color(QPalette::WindowText);
        if (owner_.colorBG_)
            if (const auto c = colorFromNumber(*owner_.colorBG_))
                pen = qGray(c->rgb()) < 128 ? Qt::white : Qt::black;
        p.setPen(pen);
        p.drawText(rect(), Qt::AlignCenter, QString::fromStdString(owner_.caption));
    }

    XbpStatic& owner_;
};

XbpStatic::XbpStatic() = default;
XbpStatic::~XbpStatic() = default;

QWidget* XbpStatic::makeWidget(QWidget* parentWidget)
{
    return new Widget(*this, parentWidget);
}

void XbpStatic::created() { describe(); }

void XbpStatic::describe()
{
    auto* w = staticWidget();
    if (!w)
        return;
    w->setAccessibleName(QString::fromStdString(spokenName()));
    if (const std::string description = spokenDescription(); !description.empty())
        w->setAccessibleDescription(QString::fromStdString(description));
}

XbpStatic::Widget* XbpStatic::staticWidget() const { return static_cast<Widget*>(widget()); }

void XbpStatic::contentChanged()
{
    if (auto* w = staticWidget()) {
        w->drawn = QImage();  // the new content replaces what was drawn on it
        w->update();
        describe();
    }
}

QImage XbpStatic::readPixels(const QRect& r) const
{
    auto* w = staticWidget();
    if (!w)
        return QImage();
    // Logical pixels, whatever the screen's scale.
    QImage picture(size()[0], size()[1], QImage::Format_RGB32);
    picture.fill(w->palette().color(QPalette::Window));
    {
        QPainter p(&picture);
        w->paintPicture(p);
    }
    return picture.copy(r);
}

void XbpStatic::writePixels(const QRect& target, const QImage& image, bool smooth)
{
    auto* w = staticWidget();
    if (!w || image.isNull() || target.isEmpty())
        return;
    if (w->drawn.size() != QSize(size()[0], size()[1])) {
        w->drawn = QImage(size()[0], size()[1], QImage::Format_ARGB32_Premultiplied);
        w->drawn.fill(Qt::transparent);
    }
    const QImage scaled = scaledTo(image, target.size(), smooth);
    {
        QPainter p(&w->drawn);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(target.topLeft(), scaled);
    }
    w->update();
}

}  // namespace rt
