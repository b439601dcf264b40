#include <QAccessible>
#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>

#include "Accessibility.h"
#include "AppWindows.h"
#include "Backend.h"
#include "QtNative.h"
#include "SpeechTiming.h"
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

// Whether the text is said yet (SpeechTiming.h), looked at every tenth of a
// second: the window counts as active once it is and the focus has landed in it.
QElapsedTimer waited, activeFor;
QPointer<QTimer> looking;  // gone with the application

void look()
{
    QWidget* top = appWindowWidget();
    const QWidget* focus = QApplication::focusWidget();
    if (!(top && top->isActiveWindow() && focus && focus->window() == top))
        activeFor.invalidate();
    else if (!activeFor.isValid())
        activeFor.start();
    if (!pending || speech::SayNow(activeFor.isValid() ? long(activeFor.elapsed()) : -1, long(waited.elapsed()))) {
        looking->stop();
        showPending(top);
    }
}
}  // namespace

// Made whether a screen reader listens or not: Qt tells only its platform's
// bridge whether one does, and the widget costs nothing that anyone sees.
void backend::Announce(const std::string& cText)
{
    pendingText = QString::fromStdString(cText);
    pending = true;
    waited.start();
    activeFor.invalidate();
    if (!looking) {
        looking = new QTimer(qApp);
        looking->setInterval(100);
        QObject::connect(looking, &QTimer::timeout, qApp, look);
    }
    looking->start();
}

// A screen reader asks back for a notification's text: the window stays a
// moment after it said something, and what waits to be said (the
// save) is said now, while the window is whole.
bool backend::StillSpeaking()
{
    showPending(appWindowWidget());
    if (!lastAnnouncement.isValid() || !QAccessible::isActive())
        return false;
    const long left = speech::HoldLeft(long(lastAnnouncement.elapsed()));
    if (left == 0)
        return false;
    QTimer::singleShot(int(left), qApp, [] { EventQueued(); });
    return true;
}

}  // namespace rt
