#include "XbpColorDialog.h"

#include <QColorDialog>
#include <QWidget>

#include "AppWindows.h"
#include "Modal.h"
#include "Gra.h"
#include "QtConvert.h"
#include "XbpWindow.h"

namespace rt {

XbpColorDialog::XbpColorDialog() = default;
XbpColorDialog::~XbpColorDialog() = default;

void XbpColorDialog::create()
{
    const auto parent = parent_.lock();
    dialog_ = std::make_unique<QColorDialog>(parent ? parent->widget() : nullptr);
    dialog_->setOption(QColorDialog::DontUseNativeDialog);
    dialog_->setOption(QColorDialog::ShowAlphaChannel, false);
    dialog_->setWindowFlag(Qt::WindowContextHelpButtonHint, showHelp);
}

std::optional<ColorNumber> XbpColorDialog::display()
{
    if (!dialog_)
        create();
    dialog_->setWindowTitle(QString::fromStdString(title));
    if (defaultColor)
        if (const auto c = colorFromNumber(*defaultColor))
            dialog_->setCurrentColor(*c);
    if (center)
        if (QWidget* parent = dialog_->parentWidget()) {
            dialog_->adjustSize();
            CentreWindow(dialog_.get(), parent);
        }
    if (RunModal(*dialog_) != QDialog::Accepted)
        return std::nullopt;
    const QColor c = dialog_->selectedColor();
    if (!c.isValid())
        return std::nullopt;
    return GraMakeRGBColor(RGB{c.red(), c.green(), c.blue()});
}

void XbpColorDialog::destroy() { dialog_.reset(); }

}  // namespace rt
