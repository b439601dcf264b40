#include <QAccessible>
#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QString>
#include <QTimer>
#include <QWidget>

#include "Accessibility.h"
#include "AppWindows.h"
#include "Backend.h"
#include "QtNative.h"
#include "XbpWindow.h"

namespace rt {

namespace {
QElapsedTimer lastAnnouncement;
QString pendingText;
bool pending = false;

QWidget* appWindowWidget()
{
    const auto window = AppWindow();
    QWidget* w = window ? WidgetOf(*window) : nullptr;
    return w ? w->window() : nullptr;
}

// A notification that a screen reader speaks as it is shown: an empty widget
// of one pixel that paints nothing, takes no focus and lets the mouse through,
// in the application window. Each text gets a new one: a screen reader passes
// over a notification that is only hidden and shown again.
void showPending(QWidget* top)
{
    if (!pending || !top)
        return;
    pending = false;
    delete top->findChild<QWidget*>(kAnnouncementName, Qt::FindDirectChildrenOnly);
    auto* note = new QWidget(top);
    note->setObjectName(kAnnouncementName);
    note->setFocusPolicy(Qt::NoFocus);
    note->setAttribute(Qt::WA_TransparentForMouseEvents);
    note->setGeometry(0, 0, 1, 1);
    note->setAccessibleName(pendingText);
    note->show();
    lastAnnouncement.start();
}

// A screen reader takes a moment to say what the focus landed on, and while
// the events of a closing dialog still flood it, it passes over a
// notification's showing: so the text comes a second later.
void showSoon()
{
    QTimer::singleShot(1000, qApp, [] { showPending(appWindowWidget()); });
}

// A screen reader speaks what a window says when it is activated, and the
// newly focused control, each cutting off what it said before: so the text
// waits until the application window is active and the focus has landed in it.
class WhenActive final : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* widget = qobject_cast<QWidget*>(watched);
        QWidget* top = appWindowWidget();
        if (event->type() == QEvent::FocusIn && pending && widget && top && widget->window() == top &&
            top->isActiveWindow()) {
            qApp->removeEventFilter(this);
            showSoon();
        }
        return false;
    }
};
WhenActive whenActive;
}  // namespace

// Made whether a screen reader listens or not: Qt tells only its platform's
// bridge whether one does, and the widget costs nothing that anyone sees.
void backend::Announce(const std::string& cText)
{
    pendingText = QString::fromStdString(cText);
    pending = true;
    if (QWidget* top = appWindowWidget(); top && top->isActiveWindow()) {
        showSoon();
        return;
    }
    qApp->installEventFilter(&whenActive);
    // A window that is not activated (a desktop that keeps the focus
    // elsewhere) still says it, a moment later.
    QTimer::singleShot(2000, qApp, [] {
        if (pending && appWindowWidget()) {
            qApp->removeEventFilter(&whenActive);
            showPending(appWindowWidget());
        }
    });
}

// A screen reader asks back for a notification's text: the window stays for
// half a second after it said something, and what waits to be said (the
// save) is said now, while the window is whole.
bool backend::StillSpeaking()
{
    showPending(appWindowWidget());
    if (!lastAnnouncement.isValid() || !QAccessible::isActive())
        return false;
    const qint64 left = 500 - lastAnnouncement.elapsed();
    if (left <= 0)
        return false;
    QTimer::singleShot(int(left), qApp, [] { EventQueued(); });
    return true;
}

}  // namespace rt
