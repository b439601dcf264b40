#pragma once
// What a screen reader is told about our own widgets: the window a frame, a
// group box a grouping, a bitmap static an image, other statics labels. Qt's
// own widgets (the buttons, the dialogs) describe themselves. Announce's
// widget is a notification.

class QWidget;

namespace rt {

// The object name of the widget through which Announce speaks.
inline constexpr const char* kAnnouncementName = "rt.announcement";

void InstallAccessibility();

}  // namespace rt
