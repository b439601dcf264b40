#include "XbpPushButton.h"

#include <QPushButton>

#include "AppEvents.h"
#include "Backend.h"
#include "QtNative.h"

namespace rt::backend {

NativeWindow* MakePushButton(XbpPushButton& b, NativeWindow& parent)
{
    auto* button = new QPushButton(QString::fromStdString(b.caption), parent.widget);
    button->setAutoDefault(false);
    button->setFocusPolicy(b.tabStop ? Qt::StrongFocus : Qt::ClickFocus);
    button->setAccessibleName(QString::fromStdString(b.caption));
    QObject::connect(button, &QPushButton::clicked, button,
                     [self = b.weak_from_this()] { PostAppEvent(EVENT_ACTIVATE, {}, {}, self.lock()); });
    return Adopt(b, button);
}

}  // namespace rt::backend
