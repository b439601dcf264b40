#pragma once
// Centring on Qt; used inside runtime/qt/ only.

class QWidget;

namespace rt {

// Centres a top-level window, frame included, on the screen or over another
// window; again once a window manager has framed it.
void CentreWindow(QWidget* window, QWidget* over = nullptr);

}  // namespace rt
