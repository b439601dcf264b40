#include "Announce.h"

#include <QAccessible>
#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>

#include "Accessibility.h"
#include "AppWindows.h"
#include "XbpWindow.h"

namespace rt {

namespace {
QElapsedTimer lastAnnouncement;
QString pendingText;
QPointer<QWidget> pendingWindow;

// A notification that a screen reader speaks as it is shown: an empty widget
// of one pixel that paints nothing, takes no focus and lets the mouse through,
// in the window. Each text gets a new one: a screen reader passes over a
// notification that is only hidden and shown again.
void showPending()
{
    QWidget* top = pendingWindow;
    pendingWindow = nullptr;
    if (!top || pendingText.isEmpty())
        return;
    delete top->findChild<QWidget*>(kAnnouncementName, Qt::FindDirectChildrenOnly);
    auto* note = new QWidget(top);
    note->setObjectName(kAnnouncementName);
    note->setFocusPolicy(Qt::NoFocus);
    note->setAttribute(Qt::WA_TransparentForMouseEvents);
    note->setGeometry(0, 0, 1, 1);
    note->setAccessibleName(pendingText);
    pendingText.clear();
    note->show();
    lastAnnouncement.start();
}

// A screen reader speaks what the window says when it is activated, and the
// newly focused control, each cutting off what it said before: so the text
// waits until the window is active and the focus has landed.
class WhenActive final : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::WindowActivate && watched == pendingWindow) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, showPending);
        }
        return false;
    }
};
}  // namespace

// Made whether a screen reader listens or not: Qt tells only its platform's
// bridge whether one does, and the widget costs nothing that anyone sees.
void Announce(const std::string& cText)
{
    const auto window = AppWindow();
    QWidget* top = window && window->widget() ? window->widget()->window() : nullptr;
    if (!top)
        return;
    static WhenActive whenActive;
    if (pendingWindow)
        pendingWindow->removeEventFilter(&whenActive);
    pendingText = QString::fromStdString(cText);
    pendingWindow = top;
    if (top->isActiveWindow()) {
        QTimer::singleShot(0, showPending);
        return;
    }
    top->installEventFilter(&whenActive);
    // A window that is not activated again (a desktop that keeps the focus
    // elsewhere) still says it, a moment later.
    QTimer::singleShot(1000, top, [top] {
        if (pendingWindow == top) {
            top->removeEventFilter(&whenActive);
            showPending();
        }
    });
}

void LetLastWordsBeHeard()
{
    // A screen reader asks back for a notification's text; a window that has
    // just said something (the save) and goes gives it a moment to.
    showPending();
    if (!lastAnnouncement.isValid() || lastAnnouncement.elapsed() > 2000 || !QAccessible::isActive())
        return;
    QEventLoop loop;
    QTimer::singleShot(500, &loop, &QEventLoop::quit);
    loop.exec();
}

}  // namespace rt
