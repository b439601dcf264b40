#pragma once
// The platform's own types behind the runtime's objects: Qt's where the
// runtime runs on Qt (Linux, Wayland), the Win32 API's and a pixel buffer of
// our own on Windows. Only runtime/ and a backend's own tests look inside them.

#if defined(_WIN32)
#include "Pixels.h"
struct HWND__;
namespace rt {
struct ColorChooser;
using NativeWindow = HWND__*;
using NativeImage = Pixels;
using NativeRect = Area;
using NativeColorDialog = ColorChooser;
}  // namespace rt
#else
class QColorDialog;
class QImage;
class QRect;
class QWidget;
namespace rt {
using NativeWindow = QWidget*;
using NativeImage = QImage;
using NativeRect = QRect;
using NativeColorDialog = QColorDialog;
}  // namespace rt
#endif
