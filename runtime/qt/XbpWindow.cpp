#include "XbpWindow.h"

#include <QApplication>
#include <QPalette>
#include <QVariant>
#include <QWidget>
#include <iostream>

#include "Accessibility.h"
#include "AppWindows.h"
#include "QtConvert.h"

namespace rt {

namespace {
constexpr const char* kWindowProperty = "rt.window";
}

XbpWindow::~XbpWindow()
{
    // What the window said last (the save) must still be there when a screen
    // reader asks for it.
    if (widget_ && widget_->isWindow())
        LetLastWordsBeHeard(widget_);
    // A parent's widget may have taken ours with it already.
    delete widget_;
}

void XbpWindow::build()
{
    const auto p = parent();
    widget_ = makeWidget(p ? p->widget() : nullptr);
    widget_->setProperty(kWindowProperty, QVariant::fromValue(reinterpret_cast<quintptr>(this)));
    QObject::connect(widget_, &QObject::destroyed, [this] { widget_ = nullptr; });
    applyGeometry();
    applyPresParams();
    if (!accessibleDescription.empty())
        widget_->setAccessibleDescription(QString::fromStdString(accessibleDescription));
    widget_->setVisible(visible_);
    created();
}

void XbpWindow::show()
{
    visible_ = true;
    if (widget_)
        widget_->show();
}

void XbpWindow::hide()
{
    visible_ = false;
    if (widget_)
        widget_->hide();
}

XbpWindow* XbpWindow::fromWidget(QWidget* w)
{
    for (; w; w = w->parentWidget()) {
        const QVariant v = w->property(kWindowProperty);
        if (v.isValid())
            return reinterpret_cast<XbpWindow*>(v.value<quintptr>());
    }
    return nullptr;
}

void XbpWindow::applyGeometry()
{
    const auto p = parent();
    const int parentHeight = p ? p->size()[1] : 0;
    widget_->setGeometry(pos_[0], parentHeight - pos_[1] - size_[1], size_[0], size_[1]);
}

void XbpWindow::applyPresParams()
{
    for (const PresParam& p : pp_) {
        if (p.id == PP_FONT) {
            if (const auto* text = std::get_if<std::string>(&p.value))
                widget_->setFont(fontFromName(*text));
            continue;
        }
        const auto* value = std::get_if<double>(&p.value);
        if (!value || (p.id != PP_BGCLR && p.id != PP_FGCLR))
            continue;
        if (*value == SYSCLR_TRANSPARENT) {
            widget_->setAutoFillBackground(false);
            continue;
        }
        const auto color = colorFromValue(*value);
        if (!color)
            continue;
        QPalette pal = widget_->palette();
        pal.setColor(p.id == PP_BGCLR ? widget_->backgroundRole() : widget_->foregroundRole(),
                     *color);
        widget_->setPalette(pal);
        if (p.id == PP_BGCLR)
            widget_->setAutoFillBackground(true);
    }
}

}  // namespace rt
