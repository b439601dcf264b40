#include "XbpPushButton.h"

#include <QPushButton>

#include "AppEvents.h"

namespace rt {

QWidget* XbpPushButton::makeWidget(QWidget* parentWidget)
{
    auto* button = new QPushButton(QString::fromStdString(caption), parentWidget);
    button->setAutoDefault(false);
    button->setFocusPolicy(tabStop ? Qt::StrongFocus : Qt::ClickFocus);
    button->setAccessibleName(QString::fromStdString(caption));
    QObject::connect(button, &QPushButton::clicked, button,
                     [self = weak_from_this()] { PostAppEvent(EVENT_ACTIVATE, {}, {}, self.lock()); });
    return button;
}

}  // namespace rt
