#include "GraDialog.h"

#include <algorithm>
#include <string>
#include <vector>

#include "Announce.h"
#include "AppEvents.h"
#include "AppWindows.h"
#include "BMP2BMP.h"
#include "ColorIcon.h"
#include "Gra.h"
#include "System.h"
#include "XbpColorDialog.h"
#include "XbpPresSpace.h"

using namespace rt;

namespace {
// n (not negative) as at least `width` decimal digits with leading zeros.
std::string StrZero(int n, int width)
{
    const std::string digits = std::to_string(n);
    return std::string(std::max<int>(0, width - int(digits.size())), '0') + digits;
}

// "#rrggbb", as the colour dialog's field shows a colour.
std::string HtmlColor(const RGB& aRGB)
{
    static constexpr char hex[] = "0123456789abcdef";
    std::string cHtml = "#";
    for (const int n : aRGB)
        cHtml += {hex[(n >> 4) & 15], hex[n & 15]};
    return cHtml;
}

const std::string CRLF = "\r\n";

// What a chosen or kept colour sounds like, said as the dialog closes: its
// intensities, then its HTML form as the colour dialog's field shows it.
void AnnounceChoice(int nNo, ColorNumber nColor)
{
    const std::string cSlot = "Color " + std::to_string(nNo);
    const auto aRGB = GraGetRGBIntensity(nColor);
    if (nColor <= 0 || !aRGB) {
        Announce(cSlot + " not changed.");
        return;
    }
    Announce(cSlot + " is now " + GraColorWords(nColor) + ", " + HtmlColor(*aRGB) + ".");
}
}  // namespace

std::shared_ptr<GraDialog> GraDialog::New(const std::shared_ptr<XbpWindow>& oParent,
                                          const std::shared_ptr<XbpWindow>& oOwner,
                                          std::optional<Pos> aPos, std::optional<Size> aSize,
                                          const std::shared_ptr<PresParams>& aPP,
                                          std::optional<bool> lVisible)
{
    auto o = std::make_shared<GraDialog>();
    o->init(oParent, oOwner, aPos, aSize, aPP, lVisible);
    return o;
}

void GraDialog::init(const std::shared_ptr<XbpWindow>& oParent,
                     const std::shared_ptr<XbpWindow>& oOwner, std::optional<Pos> aPos,
                     std::optional<Size> aSize, const std::shared_ptr<PresParams>& aPP,
                     std::optional<bool> lVisible)
{
    MakeGraForm::init(oParent, oOwner, aPos, aSize, aPP, lVisible);
}

void GraDialog::create(const std::shared_ptr<XbpWindow>& oParent,
                       const std::shared_ptr<XbpWindow>& oOwner, std::optional<Pos> aPos,
                       std::optional<Size> aSize, const std::shared_ptr<PresParams>& aPP,
                       std::optional<bool> lVisible)
{
    MakeGraForm::create(oParent, oOwner, aPos, aSize, aPP, lVisible);
    oStat1->cargo = 0;
    oStat2->cargo = 0;
    oStat0->hide();
    oStat1->hide();
    oStat2->hide();
    oLogo = nullptr;
}

void GraDialog::Make1Color()
{
    const ColorNumber nColor = ColorDialog(1);
    if (nColor > 0) {
        oStat0->hide();
        oStat1->show();
        oStat1->setColorBG(nColor);
        oStat1->cargo = nColor;
    }
    AnnounceChoice(1, nColor);
}

void GraDialog::Make2Color()
{
    const ColorNumber nColor = ColorDialog(2);
    if (nColor > 0) {
        oStat0->hide();
        oStat2->show();
        oStat2->setColorBG(nColor);
        oStat2->cargo = nColor;
    }
    AnnounceChoice(2, nColor);
}

bool GraDialog::MakeLogo()
{
    const ColorNumber nColor1 = oStat1->cargo;
    const ColorNumber nColor2 = oStat2->cargo;
    auto oPS = XbpPresSpace::New();
    const Pos aPos{128, 24};
    bool lRet = false;

    if (nColor1 > 0 && nColor2 > 0) {
        oStat0->show();
        oPS->create(oStat0->winDevice());
        const std::vector<std::optional<ColorNumber>> aColors{
            GraMakeRGBColor(GraGetRGBIntensity(nColor1)),
            GraMakeRGBColor(GraGetRGBIntensity(nColor2))};
        GraGradient(*oPS, {0, 0}, {aPos}, aColors, 0);
        oLogo = ColorIcon(*oStat0, {0, 0, 128, 24});
        lRet = true;
        oPS->destroy();
        oStat0->setCaption(oLogo);
        drawingArea->bitmap = BMP2BMP(oLogo, {365, 140});
        configure();
        Announce("Logo made, from " + GraColorWords(nColor1) + " to " + GraColorWords(nColor2) + ".");
    } else if (nColor1 == 0 && nColor2 == 0) {
        MsgBox("Color1 and Color2 missing");
    } else if (nColor1 == 0) {
        MsgBox("Color1 missing");
    } else if (nColor2 == 0) {
        MsgBox("Color2 missing");
    }
    return lRet;
}

ColorNumber GraDialog::ColorDialog(int nNo)
{
    ColorNumber nColor = 0;
    RGB aRGB{0, 255, 255};
    if (nNo == 1 && oStat1->cargo != 0) {
        if (const auto rgb = GraGetRGBIntensity(oStat1->cargo))
            aRGB = *rgb;
    } else if (nNo == 2 && oStat2->cargo != 0) {
        if (const auto rgb = GraGetRGBIntensity(oStat2->cargo))
            aRGB = *rgb;
    }

    const auto oColor = XbpColorDialog::New(drawingArea);
    oColor->mode = 1;
    oColor->title = "Farbe Auswahl";
    oColor->center = true;
    oColor->showHelp = false;
    oColor->displayAll = true;
    oColor->noDither = true;
    oColor->defaultColor = GraMakeRGBColor(aRGB);
    oColor->create();
    const std::optional<ColorNumber> nRGB1 = oColor->display();

    // The event that follows the dialog's closing (the focus coming back) is
    // taken here and dropped.
    MsgParam mp1, mp2;
    std::shared_ptr<XbpWindow> oXbp;
    AppEvent(mp1, mp2, oXbp);

    if (nRGB1) {
        if (const auto aColor = GraGetRGBIntensity(*nRGB1))
            if (const auto made = GraMakeRGBColor(*aColor))
                nColor = *made;
    }
    oColor->destroy();
    return nColor;
}

Failure GraDialog::WriteLog()
{
    const ColorNumber nColor1 = oStat1->cargo;
    const ColorNumber nColor2 = oStat2->cargo;
    return WriteLog(nColor1, nColor2);
}

Failure GraDialog::WriteLog(ColorNumber nColor1, ColorNumber nColor2)
{
    std::string cText;

    const auto appendIntensities = [&cText](const std::optional<RGB>& aColors) {
        const std::size_t iMax = aColors ? aColors->size() : 0;
        for (std::size_t i = 1; i <= iMax; ++i) {
            cText += StrZero((*aColors)[i - 1], 3);
            if (i != 3)
                cText += ",";
        }
    };

    cText += "Color 1 : {";
    appendIntensities(GraGetRGBIntensity(nColor1));
    cText += "}" + CRLF;
    cText += "Color 2 : {";
    appendIntensities(GraGetRGBIntensity(nColor2));
    cText += "}";

    // A line of output: the line end first, then the text. The file is
    // replaced whole, or left as it was when it cannot be written.
    return WriteFileAtomic("LOGO.TXT", CRLF + cText);
}
