#include "XbpWindow.h"

#include <QApplication>
#include <QPalette>
#include <QVariant>
#include <QWidget>
#include <iostream>

#include "AppWindows.h"
#include "QtConvert.h"

namespace rt {

namespace {
constexpr const char* kWindowProperty = "rt.window";
}

XbpWindow::~XbpWindow()
{
    // A parent's widget may have taken ours with it already.
    delete widget_;
}

void XbpWindow::init(const std::shared_ptr<XbpWindow>& oParent,
                     const std::shared_ptr<XbpWindow>& oOwner, std::optional<Pos> aPos,
                     std::optional<Size> aSize, const std::shared_ptr<PresParams>& aPP,
                     std::optional<bool> lVisible)
{
    parent_ = oParent;
    owner_ = oOwner;
    pos_ = aPos.value_or(Pos{0, 0});
    size_ = aSize.value_or(Size{0, 0});
    pp_ = aPP ? *aPP : PresParams{};
    visible_ = lVisible.value_or(true);
}

void XbpWindow::create(const std::shared_ptr<XbpWindow>& oParent,
                       const std::shared_ptr<XbpWindow>& oOwner, std::optional<Pos> aPos,
                       std::optional<Size> aSize, const std::shared_ptr<PresParams>& aPP,
                       std::optional<bool> lVisible)
{
    if (oParent)
        parent_ = oParent;
    if (oOwner)
        owner_ = oOwner;
    if (aPos)
        pos_ = *aPos;
    if (aSize)
        size_ = *aSize;
    if (aPP)
        pp_ = *aPP;
    if (lVisible)
        visible_ = *lVisible;

    const auto p = parent();
    widget_ = makeWidget(p ? p->widget() : nullptr);
    widget_->setProperty(kWindowProperty, QVariant::fromValue(reinterpret_cast<quintptr>(this)));
    QObject::connect(widget_, &QObject::destroyed, [this] { widget_ = nullptr; });
    applyGeometry();
    applyPresParams();
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

void XbpWindow::handleEvent(long, MsgParam, MsgParam) {}

XbpWindow* XbpWindow::fromWidget(const QWidget* w)
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

void XbpWindow::runAction(const Action& action)
{
    if (!action)
        return;
    std::string what;
    try {
        action();
        return;
    } catch (const std::exception& e) {
        what = e.what();
    } catch (...) {
        what = "unknown error";
    }
    std::cerr << QCoreApplication::applicationName().toStdString() << ": error: " << what << '\n';
    MsgBox("Error: " + what);
}

}  // namespace rt
