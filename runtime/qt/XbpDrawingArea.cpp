#include "XbpDrawingArea.h"

#include <QPainter>

#include "Backend.h"
#include "QtNative.h"
#include "XbpBitmap.h"

namespace rt::backend {

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
        if (!area_.bitmap)
            return;
        if (const NativeImage* image = area_.bitmap->onScreen())
            QPainter(this).drawImage(QPoint(0, height() - image->image.height()), image->image);
    }

private:
    const XbpDrawingArea& area_;
};
}  // namespace

NativeWindow* MakeDrawingArea(XbpDrawingArea& area, NativeWindow& parent)
{
    return Adopt(area, new AreaWidget(area, parent.widget));
}

}  // namespace rt::backend
