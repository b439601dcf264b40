#include "XbpPresSpace.h"

namespace rt {

std::shared_ptr<XbpPresSpace> XbpPresSpace::New() { return std::make_shared<XbpPresSpace>(); }

void XbpPresSpace::create(const std::shared_ptr<Device>& device)
{
    destroyed_ = false;
    if (device)
        device_ = device;
}

void XbpPresSpace::destroy()
{
    destroyed_ = true;
    device_.reset();
}

std::shared_ptr<Device> XbpPresSpace::device() const
{
    return destroyed_ ? nullptr : device_.lock();
}

void XbpPresSpace::bind(const std::shared_ptr<Device>& device)
{
    destroyed_ = false;
    device_ = device;
}

}  // namespace rt
