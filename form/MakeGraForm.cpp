#include "MakeGraForm.h"

#include "Announce.h"
#include "AppWindows.h"
#include "BMP2BMP.h"
#include "System.h"
#include "XbpBitmap.h"

using namespace rt;

namespace {
std::shared_ptr<PresParams> buttonColors()
{
    return std::make_shared<PresParams>(
        PresParams{{PP_BGCLR, SYSCLR_BUTTONFACE}, {PP_FGCLR, SYSCLR_BUTTONTEXT}});
}

Action doNothing()
{
    return [] {};
}
}  // namespace

void MakeGraForm::init(std::shared_ptr<XbpWindow> oParent, const std::shared_ptr<XbpWindow>& oOwner,
                       std::optional<Pos> aPos, std::optional<Size> aSize,
                       std::shared_ptr<PresParams> aPP, std::optional<bool> lVisible)
{
    if (!oParent)
        oParent = AppDesktop();
    if (!aPos)
        aPos = Pos{0, 0};
    if (!aSize)
        aSize = Size{365, 140};
    if (!lVisible)
        lVisible = false;
    if (!aPP)
        aPP = std::make_shared<PresParams>();
    aPP->push_back({PP_FONT, std::string("8.Arial")});

    XbpDialog::init(oParent, oOwner, aPos, aSize, aPP, lVisible);
    title = "Gradient Logo";
    accessibleDescription = "Makes a two-colour gradient logo: choose Color 1 and Color 2, press Make Logo, "
                            "then Ok Logo to save it as LOGO.TXT and LOGO.BMP.";
    taskList = true;
    maxButton = false;
    minButton = false;

    editControls = {};

    oPbLogo = XbpPushButton::New(drawingArea, nullptr, Pos{4, 4}, Size{100, 32}, buttonColors());
    oPbLogo->caption = "Make Logo";
    oPbLogo->tabStop = true;
    oPbLogo->activate = doNothing();
    oPbLogo->accessibleDescription = "Draws the logo from colour 1 to colour 2.";

    oStat0 = XbpStatic::New(drawingArea, nullptr, Pos{112, 8}, Size{128, 30}, nullptr, false);
    oStat0->type = XbpStatic::TypeBitmap;
    oStat0->clipSiblings = true;
    oStat0->accessibleName = "Logo";

    oPbOk = XbpPushButton::New(drawingArea, nullptr, Pos{248, 4}, Size{100, 32}, buttonColors());
    oPbOk->caption = "Ok Logo";
    oPbOk->tabStop = true;
    oPbOk->activate = doNothing();
    // Started from a desktop's menu the tool saves in the home folder: the
    // button says where the files go.
    oPbOk->accessibleDescription =
        "Saves the colours to LOGO.TXT and the logo to LOGO.BMP in " + CurDirShown() + ", then closes.";
    oPbOk->tooltip = oPbOk->accessibleDescription;

    oGroup = XbpStatic::New(drawingArea, nullptr, Pos{0, 44}, Size{352, 56},
                            std::make_shared<PresParams>(PresParams{{PP_BGCLR, SYSCLR_TRANSPARENT}}));
    oGroup->caption = "Gradient Colorbar";
    oGroup->clipSiblings = true;
    oGroup->type = XbpStatic::TypeGroupBox;
    oGroup->options = 5;

    oPbColor1 = XbpPushButton::New(oGroup, nullptr, Pos{4, 6}, Size{100, 30}, buttonColors());
    oPbColor1->caption = "Color 1";
    oPbColor1->tabStop = true;
    oPbColor1->activate = doNothing();
    oPbColor1->accessibleDescription = "Chooses the logo's first colour, on its left.";

    oStat1 = XbpStatic::New(oGroup, nullptr, Pos{112, 4}, Size{64, 32}, nullptr, false);
    oStat1->caption = "Color 1";
    oStat1->clipSiblings = true;
    oStat1->options = 5;

    oStat2 = XbpStatic::New(oGroup, nullptr, Pos{176, 4}, Size{64, 32}, nullptr, false);
    oStat2->caption = "Color 2";
    oStat2->clipSiblings = true;
    oStat2->options = 5;

    oPbColor2 = XbpPushButton::New(oGroup, nullptr, Pos{248, 6}, Size{100, 30}, buttonColors());
    oPbColor2->caption = "Color 2";
    oPbColor2->tabStop = true;
    oPbColor2->activate = doNothing();
    oPbColor2->accessibleDescription = "Chooses the logo's second colour, on its right.";
}

void MakeGraForm::create(const std::shared_ptr<XbpWindow>& oParent,
                         const std::shared_ptr<XbpWindow>& oOwner, std::optional<Pos> aPos,
                         std::optional<Size> aSize, const std::shared_ptr<PresParams>& aPP,
                         std::optional<bool> lVisible)
{
    if (PreloadLogo())
        Announce("The logo saved last time is shown as the background.");
    XbpDialog::create(oParent, oOwner, aPos, aSize, aPP, lVisible);
    oPbLogo->create();
    oPbOk->create();
    oGroup->create();
    oPbColor1->create();
    oStat0->create();
    oStat1->create();
    oStat2->create();
    oPbColor2->create();
}

bool MakeGraForm::PreloadLogo()
{
    if (!File("LOGO.BMP"))
        return false;
    const auto oBitmap = XbpBitmap::New();
    oBitmap->create();
    // A file that is refused leaves the plain background of a first start,
    // rather than an empty bitmap stretched white over the window.
    if (oBitmap->loadFile("LOGO.BMP").failed())
        return false;
    drawingArea->bitmap = BMP2BMP(oBitmap, {365, 140});
    return true;
}
