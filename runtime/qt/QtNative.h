#pragma once
// The Qt backend's slots: what it keeps for each runtime object. Used inside
// runtime/qt/ and by the Qt backend's tests only.

#include <QColorDialog>
#include <QImage>
#include <QPointer>
#include <QWidget>

#include "NativeSlot.h"

namespace rt {

class XbpWindow;

struct NativeWindow {
    QPointer<QWidget> widget;  // gone with its parent's, when that goes first
};

struct NativeImage {
    QImage image;
};

// The dialog is its owner window's child, so that it opens over it: one
// owner deletes it, the slot or the owner's widget, whichever goes first.
struct NativeColorDialog {
    QPointer<QColorDialog> dialog;
};

// The widget of a window; null before create() and once it is gone.
QWidget* WidgetOf(const XbpWindow& window);
// The window that w is, or lies in.
XbpWindow* WindowOf(QWidget* w);
// A new slot for the window's widget, which is marked as the window's.
NativeWindow* Adopt(XbpWindow& window, QWidget* widget);

}  // namespace rt
