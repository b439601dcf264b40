// What the Qt backend does for every kind of window.
#include <QPalette>
#include <QVariant>

#include "Accessibility.h"
#include "Backend.h"
#include "PixelOps.h"
#include "QtConvert.h"
#include "QtNative.h"
#include "XbpWindow.h"

namespace rt {

namespace {
constexpr const char* kWindowProperty = "rt.window";
}

QWidget* WidgetOf(const XbpWindow& window) { return window.native() ? window.native()->widget.data() : nullptr; }

XbpWindow* WindowOf(QWidget* w)
{
    for (; w; w = w->parentWidget()) {
        const QVariant v = w->property(kWindowProperty);
        if (v.isValid())
            return reinterpret_cast<XbpWindow*>(v.value<quintptr>());
    }
    return nullptr;
}

NativeWindow* Adopt(XbpWindow& window, QWidget* widget)
{
    widget->setProperty(kWindowProperty, QVariant::fromValue(reinterpret_cast<quintptr>(&window)));
    return new NativeWindow{widget};
}

void DropNativeWindow::operator()(NativeWindow* native) const
{
    if (QWidget* w = native->widget) {
        w->setProperty(kWindowProperty, QVariant());
        delete native->widget.data();
    }
    delete native;
}

namespace backend {

void PlaceControl(XbpWindow& window)
{
    const Area a = AreaInParent(window);
    WidgetOf(window)->setGeometry(a.x, a.y, a.width, a.height);
}

void ApplyPresParams(XbpWindow& window)
{
    QWidget* widget = WidgetOf(window);
    for (const PresParam& p : window.presParams()) {
        if (p.id == PP_FONT) {
            if (const auto* text = std::get_if<std::string>(&p.value))
                widget->setFont(fontFromName(*text));
            continue;
        }
        const auto* value = std::get_if<double>(&p.value);
        if (!value || (p.id != PP_BGCLR && p.id != PP_FGCLR))
            continue;
        if (*value == SYSCLR_TRANSPARENT) {
            widget->setAutoFillBackground(false);
            continue;
        }
        const auto color = colorFromValue(*value);
        if (!color)
            continue;
        QPalette pal = widget->palette();
        pal.setColor(p.id == PP_BGCLR ? widget->backgroundRole() : widget->foregroundRole(), *color);
        widget->setPalette(pal);
        if (p.id == PP_BGCLR)
            widget->setAutoFillBackground(true);
    }
}

void SetVisible(XbpWindow& window, bool visible) { WidgetOf(window)->setVisible(visible); }

void Repaint(XbpWindow& window) { WidgetOf(window)->update(); }

void SpokenAs(XbpWindow& window, const std::string& name, const std::string& description)
{
    QWidget* w = WidgetOf(window);
    if (!name.empty())
        w->setAccessibleName(QString::fromStdString(name));
    if (!description.empty())
        w->setAccessibleDescription(QString::fromStdString(description));
}

void SetToolTip(XbpWindow& window, const std::string& text)
{
    WidgetOf(window)->setToolTip(QString::fromStdString(text));
}

}  // namespace backend
}  // namespace rt
