#include "AppWindows.h"
#include "Modal.h"
#include "Platform.h"

#include <QApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPointer>
#include <QScreen>
#include <QWindow>
#include <QWidget>

#include "AppEvents.h"
#include "Runtime.h"
#include "XbpWindow.h"

namespace rt {

namespace {
struct Modal {
    int depth = 0;
    bool quitPending = false;
};
Modal& modal()
{
    static Modal m;
    return m;
}

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

std::shared_ptr<XbpWindow> windowOf(QWidget* w)
{
    XbpWindow* x = XbpWindow::fromWidget(w);
    return x ? x->shared_from_this() : nullptr;
}
}  // namespace

Size DesktopSize()
{
    const QRect r = QGuiApplication::primaryScreen()->availableGeometry();
    return {r.width(), r.height()};
}

void SetAppFocus(const std::shared_ptr<XbpWindow>& oXbp)
{
    QWidget* w = oXbp ? oXbp->widget() : nullptr;
    if (!w)
        return;
    if (w->isWindow()) {
        w->raise();
        w->activateWindow();
    } else {
        w->setFocus(Qt::OtherFocusReason);
    }
}

void CenterControl(const std::shared_ptr<XbpWindow>& oXbp)
{
    QWidget* w = oXbp ? oXbp->widget() : nullptr;
    if (!w)
        return;
    if (w->isWindow()) {
        CentreWindow(w);
        return;
    }
    QRect frame = w->geometry();
    frame.moveCenter(w->parentWidget()->rect().center());
    w->move(frame.topLeft());
}

void CentreWindow(QWidget* window, QWidget* over)
{
    centreNow(window, over);
    const QWindow* handle = window->windowHandle();
    if (!handle || handle->frameMargins().isNull())
        new CentreWhenFramed(window, over);
}

void MsgBox(const std::string& cText)
{
    const auto app = AppWindow();
    QMessageBox box(QMessageBox::Information, QString::fromStdString(Runtime::DisplayName()),
                    QString::fromStdString(cText), QMessageBox::Ok,
                    app ? app->widget() : nullptr);
    RunModal(box);
}

int RunModal(QDialog& dialog)
{
    // Qt gives the focus back to the widget that had it before the dialog.
    const QPointer<QWidget> before = QApplication::focusWidget();
    ++modal().depth;
    const int result = dialog.exec();
    --modal().depth;
    auto back = windowOf(before.data());
    if (!back)
        back = windowOf(QApplication::focusWidget());
    if (!back)
        back = AppWindow();
    PostAppEvent(EVENT_SETFOCUS, {}, {}, back);
    if (modal().quitPending && modal().depth == 0) {
        modal().quitPending = false;
        PostAppEvent(EVENT_QUIT);
    }
    return result;
}

void RequestQuit()
{
    if (modal().depth == 0) {
        PostAppEvent(EVENT_QUIT);
        return;
    }
    modal().quitPending = true;
    if (QWidget* w = QApplication::activeModalWidget())
        w->close();
}

}  // namespace rt
