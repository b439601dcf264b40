#pragma once
// The application's main window: a MakeGraForm that holds the two chosen
// colours (in the colour swatches' cargo), the logo, and the operations
// behind the four buttons.

#include <memory>
#include <optional>

#include "MakeGraForm.h"
#include "Types.h"
#include "XbpBitmap.h"

class GraDialog : public MakeGraForm {
public:
    static std::shared_ptr<GraDialog> New(const std::shared_ptr<rt::XbpWindow>& oParent = nullptr,
                                          const std::shared_ptr<rt::XbpWindow>& oOwner = nullptr,
                                          std::optional<rt::Pos> aPos = std::nullopt,
                                          std::optional<rt::Size> aSize = std::nullopt,
                                          const std::shared_ptr<rt::PresParams>& aPP = nullptr,
                                          std::optional<bool> lVisible = std::nullopt);
    GraDialog() = default;

    // The logo made by MakeLogo; empty until then.
    std::shared_ptr<rt::XbpBitmap> oLogo;

    void init(const std::shared_ptr<rt::XbpWindow>& oParent = nullptr,
              const std::shared_ptr<rt::XbpWindow>& oOwner = nullptr,
              std::optional<rt::Pos> aPos = std::nullopt,
              std::optional<rt::Size> aSize = std::nullopt,
              const std::shared_ptr<rt::PresParams>& aPP = nullptr,
              std::optional<bool> lVisible = std::nullopt);
    void create(const std::shared_ptr<rt::XbpWindow>& oParent = nullptr,
                const std::shared_ptr<rt::XbpWindow>& oOwner = nullptr,
                std::optional<rt::Pos> aPos = std::nullopt,
                std::optional<rt::Size> aSize = std::nullopt,
                const std::shared_ptr<rt::PresParams>& aPP = nullptr,
                std::optional<bool> lVisible = std::nullopt) override;

    void Make1Color();
    void Make2Color();
    // Draws the gradient bar, keeps it as the logo and shows it; false, with a
    // message, when a colour is missing.
    bool MakeLogo();
    // The colour chosen for colour nNo, or 0 when none was.
    rt::ColorNumber ColorDialog(int nNo);
    // Writes the two colours' intensities to LOGO.TXT. Nothing on success,
    // else the reason the file could not be written. Inside a SaveTogether
    // ("Ok Logo") the file is only prepared, and placed with LOGO.BMP.
    rt::Failure WriteLog();
    // The same for two colour numbers, with no dialog (the command line).
    static rt::Failure WriteLog(rt::ColorNumber nColor1, rt::ColorNumber nColor2);
};
