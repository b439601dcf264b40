#include "XbpColorDialog.h"

#include "Backend.h"
#include "Gra.h"
#include "Modal.h"
#include "XbpWindow.h"

namespace rt {

std::shared_ptr<XbpColorDialog> XbpColorDialog::New(const std::shared_ptr<XbpWindow>& oParent)
{
    auto o = std::make_shared<XbpColorDialog>();
    o->parent_ = oParent;
    return o;
}

XbpColorDialog::XbpColorDialog() = default;
XbpColorDialog::~XbpColorDialog() = default;

void XbpColorDialog::create()
{
    const auto parent = parent_.lock();
    dialog_.reset(backend::MakeColorDialog(*this, parent ? parent->native() : nullptr));
}

std::optional<ColorNumber> XbpColorDialog::display()
{
    if (!dialog_)
        create();
    if (!dialog_)
        return std::nullopt;
    const auto chosen = RunModal([this] { return backend::RunColorDialog(*this, *dialog_); });
    return GraMakeRGBColor(chosen);
}

void XbpColorDialog::destroy() { dialog_.reset(); }

}  // namespace rt
