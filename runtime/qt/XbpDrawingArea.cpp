#include "XbpDrawingArea.h"

#include <QImage>
#include <QPainter>
#include <QWidget>

#include "XbpBitmap.h"

namespace rt {

namespace {
class AreaWidget final : public QWidget {
public:
    AreaWidget(const XbpDrawingArea& area, QWidget* parent) : QWidget(parent), area_(area)
    {
        setAutoFillBackground(true);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        if (!area_.bitmap || area_.bitmap->isEmpty())
            return;
        const QImage& image = area_.bitmap->image();
        QPainter(this).drawImage(QPoint(0, height() - image.height()), image);
    }

private:
    const XbpDrawingArea& area_;
};
}  // namespace

QWidget* XbpDrawingArea::makeWidget(QWidget* parentWidget)
{
    return new AreaWidget(*this, parentWidget);
}

void XbpDrawingArea::refresh()
{
    if (widget())
        widget()->update();
}

}  // namespace rt
