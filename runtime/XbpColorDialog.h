#pragma once
// The colour-selection dialog, preselected with defaultColor: Qt's own on
// Linux (without an alpha channel or a help button), the common colour dialog
// on Windows.

#include <memory>
#include <optional>
#include <string>

#include "NativeSlot.h"
#include "Types.h"

namespace rt {

class XbpWindow;

class XbpColorDialog {
public:
    static std::shared_ptr<XbpColorDialog> New(const std::shared_ptr<XbpWindow>& oParent = nullptr);
    XbpColorDialog();
    ~XbpColorDialog();

    int mode = 0;  // recorded as given; no backend needs it
    std::string title;
    bool center = false;
    bool showHelp = true;
    bool displayAll = false;
    bool noDither = false;
    std::optional<ColorNumber> defaultColor;

    void create();
    // Modal; the chosen colour's number, nothing on Cancel, Escape or the close box.
    std::optional<ColorNumber> display();
    void destroy();

    // The platform's dialog while it exists; for the backend's tests.
    NativeColorDialog* dialog() const { return dialog_.get(); }

private:
    std::weak_ptr<XbpWindow> parent_;
    std::unique_ptr<NativeColorDialog, DropNativeColorDialog> dialog_;
};

}  // namespace rt
