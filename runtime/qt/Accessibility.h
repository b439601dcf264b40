#pragma once
// What a screen reader is told about our own widgets: the window a frame, a
// group box a grouping, a bitmap static an image, other statics labels. Qt's
// own widgets (the buttons, the dialogs) describe themselves.

namespace rt {

void InstallAccessibility();

}  // namespace rt
