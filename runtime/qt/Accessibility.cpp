#include "Accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QWidget>

#include "QtNative.h"
#include "XbpDialog.h"
#include "XbpStatic.h"

namespace rt {

namespace {
// Without a role of their own our widgets are nameless "filler" to a screen
// reader. Their names and descriptions are the widgets' accessible ones.
QAccessibleInterface* describe(const QString& className, QObject* object)
{
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget || className != QLatin1String("QWidget"))
        return nullptr;
    if (widget->objectName() == QLatin1String(kAnnouncementName))
        return new QAccessibleWidget(widget, QAccessible::Notification);
    XbpWindow* window = WindowOf(widget);
    if (dynamic_cast<XbpDialog*>(window))
        return new QAccessibleWidget(widget, QAccessible::Window);
    if (auto* control = dynamic_cast<XbpStatic*>(window)) {
        switch (control->type) {
        case XbpStatic::TypeGroupBox: return new QAccessibleWidget(widget, QAccessible::Grouping);
        case XbpStatic::TypeBitmap: return new QAccessibleWidget(widget, QAccessible::Graphic);
        default: return new QAccessibleWidget(widget, QAccessible::StaticText);
        }
    }
    return nullptr;
}
}  // namespace

void InstallAccessibility() { QAccessible::installFactory(describe); }

}  // namespace rt
