#pragma once
// The main window's form: the dialog "Gradient Logo" with its eight controls,
// their layout, fonts and colours, and the preload of LOGO.BMP. It carries no
// behaviour: the buttons get do-nothing actions, replaced by the application.

#include <memory>
#include <optional>
#include <vector>

#include "Types.h"
#include "XbpDialog.h"
#include "XbpPushButton.h"
#include "XbpStatic.h"

class MakeGraForm : public rt::XbpDialog {
public:
    MakeGraForm() = default;

    std::vector<std::shared_ptr<rt::XbpWindow>> editControls;  // set empty by init; nothing reads or fills it
    std::shared_ptr<rt::XbpPushButton> oPbLogo;    // "Make Logo"
    std::shared_ptr<rt::XbpPushButton> oPbOk;      // "Ok Logo"
    std::shared_ptr<rt::XbpStatic> oGroup;         // group box "Gradient Colorbar"
    std::shared_ptr<rt::XbpPushButton> oPbColor1;  // "Color 1"
    std::shared_ptr<rt::XbpStatic> oStat0;         // logo swatch
    std::shared_ptr<rt::XbpStatic> oStat1;         // colour 1 swatch; cargo holds colour 1
    std::shared_ptr<rt::XbpStatic> oStat2;         // colour 2 swatch; cargo holds colour 2
    std::shared_ptr<rt::XbpPushButton> oPbColor2;  // "Color 2"

    // Nil arguments take the defaults: the desktop, {0, 0}, {365, 140}, a new
    // array, hidden. The font pair {15, "8.Arial"} is appended to aPP, which the
    // caller sees when it passed an array.
    void init(std::shared_ptr<rt::XbpWindow> oParent = nullptr,
              const std::shared_ptr<rt::XbpWindow>& oOwner = nullptr,
              std::optional<rt::Pos> aPos = std::nullopt,
              std::optional<rt::Size> aSize = std::nullopt,
              std::shared_ptr<rt::PresParams> aPP = nullptr,
              std::optional<bool> lVisible = std::nullopt);

    // Shows an existing LOGO.BMP stretched as the background, then makes the
    // dialog and its controls, parents before children.
    void create(const std::shared_ptr<rt::XbpWindow>& oParent = nullptr,
                const std::shared_ptr<rt::XbpWindow>& oOwner = nullptr,
                std::optional<rt::Pos> aPos = std::nullopt,
                std::optional<rt::Size> aSize = std::nullopt,
                const std::shared_ptr<rt::PresParams>& aPP = nullptr,
                std::optional<bool> lVisible = std::nullopt) override;

    // The preload: an existing LOGO.BMP, stretched to the window, becomes the
    // drawing area's background. True when one is shown; a file that cannot
    // be read leaves the background as it was.
    bool PreloadLogo();
};
