#pragma once
// A drawing surface. Created on a window's device it draws on that window;
// bound to a bitmap (XbpBitmap::presSpace) it draws into the bitmap, whether
// it was created or only instantiated.

#include <memory>

#include "Device.h"

namespace rt {

class XbpPresSpace {
public:
    static std::shared_ptr<XbpPresSpace> New();

    void create(const std::shared_ptr<Device>& device = nullptr);
    void destroy();

    bool isDestroyed() const { return destroyed_; }

    // The device drawn on; null when unbound, destroyed or the device is gone.
    std::shared_ptr<Device> device() const;
    void bind(const std::shared_ptr<Device>& device);

private:
    std::weak_ptr<Device> device_;
    bool destroyed_ = false;
};

}  // namespace rt
