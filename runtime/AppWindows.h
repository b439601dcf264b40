#pragma once
// The desktop, the application window, focus, centring and the message box.

#include <memory>
#include <string>

namespace rt {

class XbpWindow;

// The desktop window: the parent of top-level windows; it has no widget.
std::shared_ptr<XbpWindow> AppDesktop();

void SetAppWindow(const std::shared_ptr<XbpWindow>& oXbp);
std::shared_ptr<XbpWindow> AppWindow();

// A top-level window is activated; a control gets the input focus.
void SetAppFocus(const std::shared_ptr<XbpWindow>& oXbp);

// Centres a top-level window on the screen and a control in its parent.
void CenterControl(const std::shared_ptr<XbpWindow>& oXbp);

// A modal information box over the application window, titled with the
// application's name, with the text and an OK button.
void MsgBox(const std::string& cText);

}  // namespace rt
