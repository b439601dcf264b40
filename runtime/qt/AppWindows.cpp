#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QWindow>

#include "Backend.h"
#include "CentreWindow.h"
#include "QtNative.h"

namespace rt {

namespace {
QRect areaToCentreOn(QWidget* over)
{
    return over ? over->window()->frameGeometry()
                : QGuiApplication::primaryScreen()->availableGeometry();
}

void centreNow(QWidget* w, QWidget* over)
{
    QRect frame = w->frameGeometry();
    frame.moveCenter(areaToCentreOn(over).center());
    w->move(frame.topLeft());
}

// A window manager adds its frame only once the window is shown, so a window
// centred before then sits half a title bar too low: centre it again as soon
// as the frame is known. Without a window manager there is no frame to wait for.
class CentreWhenFramed final : public QObject {
public:
    CentreWhenFramed(QWidget* w, QWidget* over) : QObject(w), over_(over) { w->installEventFilter(this); }

    bool eventFilter(QObject* o, QEvent* e) override
    {
        auto* w = static_cast<QWidget*>(o);
        const bool placed = e->type() == QEvent::Move || e->type() == QEvent::Resize ||
                            e->type() == QEvent::Show;
        const QWindow* handle = w->windowHandle();
        if (placed && w->isVisible() && handle && !handle->frameMargins().isNull()) {
            w->removeEventFilter(this);
            deleteLater();
            centreNow(w, over_.data());
        }
        return false;
    }

private:
    QPointer<QWidget> over_;
};
}  // namespace

void CentreWindow(QWidget* window, QWidget* over)
{
    centreNow(window, over);
    const QWindow* handle = window->windowHandle();
    if (!handle || handle->frameMargins().isNull())
        new CentreWhenFramed(window, over);
}

namespace backend {

Size WorkAreaSize()
{
    const QRect r = QGuiApplication::primaryScreen()->availableGeometry();
    return {r.width(), r.height()};
}

void Focus(XbpWindow& window)
{
    QWidget* w = WidgetOf(window);
    if (w->isWindow()) {
        w->raise();
        w->activateWindow();
    } else {
        w->setFocus(Qt::OtherFocusReason);
    }
}

void Centre(XbpWindow& window)
{
    QWidget* w = WidgetOf(window);
    if (w->isWindow()) {
        CentreWindow(w);
        return;
    }
    QRect frame = w->geometry();
    frame.moveCenter(w->parentWidget()->rect().center());
    w->move(frame.topLeft());
}

XbpWindow* FocusedWindow() { return WindowOf(QApplication::focusWidget()); }

void ShowMessageBox(const std::string& title, const std::string& text, NativeWindow* owner)
{
    QMessageBox box(QMessageBox::Information, QString::fromStdString(title), QString::fromStdString(text),
                    QMessageBox::Ok, owner ? owner->widget.data() : nullptr);
    box.exec();
}

void CancelModal()
{
    if (QWidget* w = QApplication::activeModalWidget())
        w->close();
}

}  // namespace backend
}  // namespace rt
