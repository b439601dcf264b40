#pragma once
// Modal dialogs and centring on Qt; used inside runtime/ only.

class QDialog;
class QWidget;

namespace rt {

// Centres a top-level window, frame included, on the screen or over another
// window; again once a window manager has framed it.
void CentreWindow(QWidget* window, QWidget* over = nullptr);

// Runs a modal dialog; before it returns, queues the focus event addressed to
// the window that gets the focus back. Returns the dialog's result code.
int RunModal(QDialog& dialog);

// Queues the quit event (for SIGINT and SIGTERM). While a modal dialog runs,
// the dialog is cancelled first and the quit event queued behind the focus
// event, which the dialog's caller may take: so a quit request is never
// swallowed.
void RequestQuit();

}  // namespace rt
