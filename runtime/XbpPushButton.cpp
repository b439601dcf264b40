#include "XbpPushButton.h"

#include <QPushButton>

#include "AppEvents.h"

namespace rt {

std::shared_ptr<XbpPushButton> XbpPushButton::New(const std::shared_ptr<XbpWindow>& oParent,
                                                  const std::shared_ptr<XbpWindow>& oOwner,
                                                  std::optional<Pos> aPos,
                                                  std::optional<Size> aSize,
                                                  const std::shared_ptr<PresParams>& aPP,
                                                  std::optional<bool> lVisible)
{
    auto o = std::make_shared<XbpPushButton>();
    o->init(oParent, oOwner, aPos, aSize, aPP, lVisible);
    return o;
}

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

void XbpPushButton::handleEvent(long nEvent, MsgParam, MsgParam)
{
    if (nEvent == EVENT_ACTIVATE)
        runAction(activate);
}

}  // namespace rt
