#include "XbpColorDialog.h"

#include "Backend.h"
#include "CentreWindow.h"
#include "QtConvert.h"
#include "QtNative.h"
#include "XbpWindow.h"

namespace rt {

void DropNativeColorDialog::operator()(NativeColorDialog* native) const
{
    delete native->dialog.data();
    delete native;
}

namespace backend {

// Qt's own dialog, the same on every desktop, without an alpha channel. Qt
// keeps the custom colours for the run.
NativeColorDialog* MakeColorDialog(XbpColorDialog& dialog, NativeWindow* owner)
{
    auto* native = new NativeColorDialog{new QColorDialog(owner ? owner->widget.data() : nullptr)};
    native->dialog->setOption(QColorDialog::DontUseNativeDialog);
    native->dialog->setOption(QColorDialog::ShowAlphaChannel, false);
    native->dialog->setWindowFlag(Qt::WindowContextHelpButtonHint, dialog.showHelp);
    return native;
}

std::optional<RGB> RunColorDialog(XbpColorDialog& dialog, NativeColorDialog& native)
{
    if (!native.dialog)  // gone with its owner
        return std::nullopt;
    QColorDialog& d = *native.dialog;
    d.setWindowTitle(QString::fromStdString(dialog.title));
    if (dialog.defaultColor)
        if (const auto c = colorFromNumber(*dialog.defaultColor))
            d.setCurrentColor(*c);
    if (dialog.center)
        if (QWidget* parent = d.parentWidget()) {
            d.adjustSize();
            CentreWindow(&d, parent);
        }
    if (d.exec() != QDialog::Accepted)
        return std::nullopt;
    const QColor c = d.selectedColor();
    if (!c.isValid())
        return std::nullopt;
    return RGB{c.red(), c.green(), c.blue()};
}

}  // namespace backend
}  // namespace rt
