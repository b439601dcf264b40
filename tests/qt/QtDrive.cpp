// The Qt backend's side of the widget tests.
#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QColorDialog>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <cerrno>
#include <cstring>

#include "QtNative.h"
#include "TestSupport.h"

namespace test {

namespace {
QWidget* widget(const rt::XbpWindow& w)
{
    QWidget* widget = rt::WidgetOf(w);
    EXPECT_NE(widget, nullptr) << "the window was not created";
    return widget;
}
}  // namespace

std::string systemReason(Fault fault) { return std::strerror(fault == Fault::NoSuchFile ? ENOENT : EISDIR); }

void processEvents() { QApplication::processEvents(); }

std::shared_ptr<void> everyFewMilliseconds(std::function<void()> tick)
{
    auto timer = std::make_shared<QTimer>();
    QObject::connect(timer.get(), &QTimer::timeout, std::move(tick));
    timer->start(5);
    return timer;
}

bool modalShown() { return QApplication::activeModalWidget() != nullptr; }

void whenModal(std::function<void()> act)
{
    QTimer::singleShot(0, [act] {
        if (modalShown())
            act();
        else
            whenModal(act);
    });
}

std::shared_ptr<ColorAnswer> answerColorDialog(std::optional<rt::RGB> pick)
{
    auto seen = std::make_shared<ColorAnswer>();
    whenModal([seen, pick] {
        auto* dialog = qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr) << "expected the colour dialog";
        seen->title = dialog->windowTitle().toStdString();
        const QColor c = dialog->currentColor();
        seen->preselected = rt::RGB{c.red(), c.green(), c.blue()};
        if (pick) {
            dialog->setCurrentColor(QColor((*pick)[0], (*pick)[1], (*pick)[2]));
            dialog->accept();
        } else {
            dialog->reject();
        }
    });
    return seen;
}

std::shared_ptr<MessageAnswer> answerMessageBox()
{
    auto seen = std::make_shared<MessageAnswer>();
    whenModal([seen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr) << "expected a message box";
        seen->text = box->text().toStdString();
        seen->title = box->windowTitle().toStdString();
        ++seen->count;
        box->accept();
    });
    return seen;
}

std::optional<std::string> answerShownMessageBox()
{
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box)
        return std::nullopt;
    const std::string text = box->text().toStdString();
    box->accept();
    return text;
}

Geometry geometry(const rt::XbpWindow& window)
{
    const QRect r = widget(window)->geometry();
    return {r.x(), r.y(), r.width(), r.height()};
}

rt::Size clientSize(const rt::XbpWindow& window)
{
    const QSize s = widget(window)->size();
    return {s.width(), s.height()};
}

bool nativeChildOf(const rt::XbpWindow& child, const rt::XbpWindow& parent)
{
    return widget(child)->parentWidget() == widget(parent);
}

std::vector<const rt::XbpWindow*> nativeChildren(const rt::XbpWindow& parent)
{
    std::vector<const rt::XbpWindow*> out;
    for (QObject* o : widget(parent)->children())
        if (auto* w = qobject_cast<QWidget*>(o))
            if (rt::WindowOf(w) != &parent)
                out.push_back(rt::WindowOf(w));
    return out;
}

bool shown(const rt::XbpWindow& window) { return widget(window)->isVisible(); }

std::string title(const rt::XbpWindow& window) { return widget(window)->windowTitle().toStdString(); }

std::string spokenName(const rt::XbpWindow& window) { return widget(window)->accessibleName().toStdString(); }

// The window's focus widget: what gets the keys once the window is active.
bool hasFocus(const rt::XbpWindow& window) { return widget(window)->window()->focusWidget() == widget(window); }

void click(const rt::XbpWindow& button)
{
    auto* b = qobject_cast<QAbstractButton*>(widget(button));
    ASSERT_NE(b, nullptr) << "not a button";
    b->click();
}

void pressSpace(const rt::XbpWindow& window) { QTest::keyClick(widget(window), Qt::Key_Space); }

void pressEscape(const rt::XbpWindow& window) { QTest::keyClick(widget(window), Qt::Key_Escape); }

void requestClose(const rt::XbpWindow& dialog) { widget(dialog)->close(); }

bool activate(const rt::XbpWindow& window)
{
    rt::SetAppFocus(std::const_pointer_cast<rt::XbpWindow>(window.shared_from_this()));
    return QTest::qWaitForWindowActive(widget(window));
}

rt::Pixels shownPixels(const rt::XbpWindow& window)
{
    QWidget* w = widget(window);
    const qreal dpr = w->devicePixelRatio();
    QImage image(w->size() * dpr, QImage::Format_RGB32);
    image.setDevicePixelRatio(dpr);
    w->render(&image, QPoint(), QRegion(), QWidget::DrawWindowBackground | QWidget::DrawChildren);
    rt::Pixels out;
    out.width = w->width();
    out.height = w->height();
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x)
            out.rgb.push_back(image.pixel(int(x * dpr), int(y * dpr)));
    return out;
}

}  // namespace test
