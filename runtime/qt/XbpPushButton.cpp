#include "XbpPushButton.h"

#include <QKeyEvent>
#include <QPushButton>
#include <utility>

#include "AppEvents.h"
#include "Backend.h"
#include "QtNative.h"

namespace rt::backend {

namespace {
// Return and Enter press the focused button, as Space does and as GTK and Qt
// desktops do. A held key presses it once: its repeats, which reach the next
// button once the focus has moved on, press nothing. X repeats a held key as
// a release and a press of the same moment, which Qt marks as a repeat only
// when both have already arrived: the moment tells, where there is one.
class PushButton final : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    void keyReleaseEvent(QKeyEvent* e) override
    {
        released = {e->key(), e->timestamp()};
        QPushButton::keyReleaseEvent(e);
    }
    void keyPressEvent(QKeyEvent* e) override
    {
        const bool enter = e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
        // Events passed on by a screen reader may carry no moment at all.
        const bool repeat =
            e->isAutoRepeat() || (e->timestamp() != 0 && released == std::pair{e->key(), e->timestamp()});
        if (repeat && (enter || e->key() == Qt::Key_Space))
            return e->accept();
        if (enter && (e->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            e->accept();
            click();
            return;
        }
        QPushButton::keyPressEvent(e);
    }

private:
    // The last key released, and when; shared: a repeat's release may reach
    // the button that had the focus, its press the next one.
    static inline std::pair<int, quint64> released;
};
}  // namespace

NativeWindow* MakePushButton(XbpPushButton& b, NativeWindow& parent)
{
    auto* button = new PushButton(QString::fromStdString(b.caption), parent.widget);
    button->setAutoDefault(false);
    button->setFocusPolicy(b.tabStop ? Qt::StrongFocus : Qt::ClickFocus);
    button->setAccessibleName(QString::fromStdString(b.caption));
    QObject::connect(button, &QPushButton::clicked, button,
                     [self = b.weak_from_this()] { PostAppEvent(EVENT_ACTIVATE, {}, {}, self.lock()); });
    return Adopt(b, button);
}

}  // namespace rt::backend
