#pragma once
// The platform's own state behind a runtime object, held in one slot that the
// object owns. The types are only named here: each backend completes them and
// defines how each is let go, so no header above the backends names anything
// of a platform.

namespace rt {

// A window's: the platform's window and what the backend keeps beside it.
struct NativeWindow;
// A bitmap's picture as the platform puts it on screen, made when first needed.
struct NativeImage;
// The colour dialog while it exists.
struct NativeColorDialog;
// The platform itself, while the runtime runs.
struct NativePlatform;

struct DropNativeWindow {
    void operator()(NativeWindow* native) const;
};
struct DropNativeImage {
    void operator()(NativeImage* native) const;
};
struct DropNativeColorDialog {
    void operator()(NativeColorDialog* native) const;
};
struct DropNativePlatform {
    void operator()(NativePlatform* native) const;
};

}  // namespace rt
