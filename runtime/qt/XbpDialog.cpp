#include "XbpDialog.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QScreen>

#include "AppEvents.h"
#include "Backend.h"
#include "QtNative.h"

namespace rt::backend {

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

NativeWindow* MakeDialog(XbpDialog& dialog) { return Adopt(dialog, new DialogWidget(dialog.weak_from_this())); }

void PlaceDialog(XbpDialog& dialog)
{
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const auto [w, h] = dialog.size();
    QWidget* widget = WidgetOf(dialog);
    widget->setFixedSize(w, h);
    widget->move(screen.x() + dialog.pos()[0], screen.y() + screen.height() - dialog.pos()[1] - h);
}

void ConfigureDialog(XbpDialog& dialog)
{
    QWidget* w = WidgetOf(dialog);
    w->setWindowTitle(QString::fromStdString(dialog.title));
    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (dialog.maxButton)
        flags |= Qt::WindowMaximizeButtonHint;
    if (dialog.minButton)
        flags |= Qt::WindowMinimizeButtonHint;
    if (!dialog.taskList)
        flags |= Qt::Tool;
    if (w->windowFlags() != flags) {
        const bool shown = w->isVisible();
        w->setWindowFlags(flags);  // hides the window
        if (shown)
            w->show();
    }
}

void SetDialogIcon(XbpDialog& dialog, int icon)
{
    WidgetOf(dialog)->setWindowIcon(QIcon(QStringLiteral(":/icon/%1").arg(icon)));
}

}  // namespace rt::backend
