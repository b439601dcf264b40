#include "XbpColorDialog.h"

namespace rt {

std::shared_ptr<XbpColorDialog> XbpColorDialog::New(const std::shared_ptr<XbpWindow>& oParent)
{
    auto o = std::make_shared<XbpColorDialog>();
    o->parent_ = oParent;
    return o;
}

}  // namespace rt
