#include "XbpDialog.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QScreen>
#include <QWidget>

#include "AppEvents.h"

namespace rt {

namespace {
class DialogWidget final : public QWidget {
public:
    explicit DialogWidget(std::weak_ptr<XbpWindow> dialog) : dialog_(std::move(dialog)) {}

protected:
    void closeEvent(QCloseEvent* e) override
    {
        // The program decides when it ends: the request becomes a queued event.
        e->ignore();
        PostAppEvent(EVENT_CLOSE, {}, {}, dialog_.lock());
    }

private:
    std::weak_ptr<XbpWindow> dialog_;
};
}  // namespace

void XbpDialog::init(const std::shared_ptr<XbpWindow>& oParent,
                     const std::shared_ptr<XbpWindow>& oOwner, std::optional<Pos> aPos,
                     std::optional<Size> aSize, const std::shared_ptr<PresParams>& aPP,
                     std::optional<bool> lVisible)
{
    XbpWindow::init(oParent, oOwner, aPos, aSize, aPP, lVisible);
    drawingArea = std::make_shared<XbpDrawingArea>();
    drawingArea->init(shared_from_this(), nullptr, Pos{0, 0}, size(), nullptr, true);
}

void XbpDialog::create(const std::shared_ptr<XbpWindow>& oParent,
                       const std::shared_ptr<XbpWindow>& oOwner, std::optional<Pos> aPos,
                       std::optional<Size> aSize, const std::shared_ptr<PresParams>& aPP,
                       std::optional<bool> lVisible)
{
    XbpWindow::create(oParent, oOwner, aPos, aSize, aPP, lVisible);
    drawingArea->create(nullptr, nullptr, Pos{0, 0}, size());
    configure();
}

QWidget* XbpDialog::makeWidget(QWidget*) { return new DialogWidget(weak_from_this()); }

void XbpDialog::applyGeometry()
{
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const auto [w, h] = size();
    widget()->setFixedSize(w, h);
    widget()->move(screen.x() + pos()[0], screen.y() + screen.height() - pos()[1] - h);
}

void XbpDialog::configure()
{
    QWidget* w = widget();
    if (!w)
        return;
    w->setWindowTitle(QString::fromStdString(title));
    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (maxButton)
        flags |= Qt::WindowMaximizeButtonHint;
    if (minButton)
        flags |= Qt::WindowMinimizeButtonHint;
    if (!taskList)
        flags |= Qt::Tool;
    if (w->windowFlags() != flags) {
        const bool shown = w->isVisible();
        w->setWindowFlags(flags);  // hides the window
        if (shown)
            w->show();
    }
    if (icon && icon != shownIcon_) {  // the window manager is told only of a change
        w->setWindowIcon(QIcon(QStringLiteral(":/icon/%1").arg(*icon)));
        shownIcon_ = icon;
    }
    drawingArea->refresh();
}

void XbpDialog::handleEvent(long nEvent, MsgParam, MsgParam)
{
    if (nEvent == EVENT_CLOSE)
        runAction(close);
}

}  // namespace rt
