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

}  // namespace rt
