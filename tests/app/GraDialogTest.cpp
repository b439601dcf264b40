#include <algorithm>
#include <gtest/gtest.h>

#include "AppEvents.h"
#include "AppWindows.h"
#include "BmpCodec.h"
#include "Gra.h"
#include "GraDialog.h"
#include "System.h"
#include "TestSupport.h"
#include "WithGraDialog.h"
#include "XbpPresSpace.h"

using namespace rt;
using test::rgb;
namespace fs = std::filesystem;

namespace {
ColorNumber number(int r, int g, int b) { return *GraMakeRGBColor(RGB{r, g, b}); }

// What the drawing area shows on screen, one pixel per logical pixel.
Pixels shownArea(const GraDialog& d) { return test::shownPixels(*d.drawingArea); }
}  // namespace

class GraDialogTest : public test::WithGraDialog {};

TEST_F(GraDialogTest, StartsWithNoColoursHiddenSwatchesAndNoLogo)
{
    const auto d = created();
    EXPECT_EQ(d->oStat1->cargo, 0);
    EXPECT_EQ(d->oStat2->cargo, 0);
    EXPECT_EQ(d->oLogo, nullptr);
    for (const auto& s : {d->oStat0, d->oStat1, d->oStat2})
        EXPECT_FALSE(test::shown(*s));
}

TEST_F(GraDialogTest, ChoosingRechoosingAndCancellingColours)
{
    const auto d = created();
    choose(*d, 1, RGB{255, 0, 0});
    EXPECT_EQ(last->title, "Farbe Auswahl");
    EXPECT_EQ(last->preselected, (RGB{0, 255, 255})) << "cyan the first time";
    EXPECT_EQ(d->oStat1->cargo, number(255, 0, 0));
    EXPECT_TRUE(test::shown(*d->oStat1));
    EXPECT_EQ(d->oStat1->colorBG(), number(255, 0, 0));
    EXPECT_FALSE(test::shown(*d->oStat2)) << "colour 2 keeps its state";
    EXPECT_EQ(d->oStat2->cargo, 0);
    EXPECT_EQ(PendingAppEvents(), 0u) << "the focus event after the dialog was taken";

    choose(*d, 1, RGB{0, 0, 0});
    EXPECT_EQ(last->preselected, (RGB{255, 0, 0})) << "the stored colour of that slot";
    EXPECT_EQ(d->oStat1->cargo, number(0, 0, 0)) << "black is a colour";
    EXPECT_GT(d->oStat1->cargo, 0);

    choose(*d, 2, RGB{10, 20, 30});
    EXPECT_EQ(last->preselected, (RGB{0, 255, 255})) << "only the named slot is read";
    EXPECT_EQ(d->oStat2->cargo, number(10, 20, 30));

    choose(*d, 2, std::nullopt);  // cancel
    EXPECT_EQ(d->oStat2->cargo, number(10, 20, 30));
    EXPECT_TRUE(test::shown(*d->oStat2));

    // A slot other than 1 or 2 reads no colour: the dialog opens with cyan.
    last = test::answerColorDialog(std::nullopt);
    EXPECT_EQ(d->ColorDialog(3), 0);
    EXPECT_EQ(last->preselected, (RGB{0, 255, 255}));
}

TEST_F(GraDialogTest, MissingColoursGiveOneMessageAndDrawNothing)
{
    const auto d = created();
    auto msg = test::answerMessageBox();
    EXPECT_FALSE(d->MakeLogo());
    EXPECT_EQ(msg->text, "Color1 and Color2 missing");
    EXPECT_EQ(msg->count, 1);
    EXPECT_FALSE(test::shown(*d->oStat0));
    EXPECT_EQ(d->oLogo, nullptr);
    EXPECT_EQ(d->drawingArea->bitmap, nullptr);

    choose(*d, 2, RGB{0, 0, 255});
    msg = test::answerMessageBox();
    EXPECT_FALSE(d->MakeLogo());
    EXPECT_EQ(msg->text, "Color1 missing");

    d->oStat2->cargo = 0;
    d->oStat1->cargo = number(1, 1, 1);
    msg = test::answerMessageBox();
    EXPECT_FALSE(d->MakeLogo());
    EXPECT_EQ(msg->text, "Color2 missing");
    EXPECT_EQ(d->oLogo, nullptr);
    EXPECT_FALSE(test::shown(*d->oStat0));
}

TEST_F(GraDialogTest, MakeLogoDrawsCapturesAndShowsTheBar)
{
    const auto d = created();
    choose(*d, 1, RGB{255, 0, 0});
    choose(*d, 2, RGB{0, 0, 255});
    ASSERT_TRUE(d->MakeLogo());

    ASSERT_NE(d->oLogo, nullptr);
    EXPECT_EQ(d->oLogo->width(), 128);
    EXPECT_EQ(d->oLogo->height(), 24);
    for (int y = 0; y < 24; ++y) {
        ASSERT_EQ(test::pixel(d->oLogo, 0, y), rgb(255, 0, 0));
        ASSERT_EQ(test::pixel(d->oLogo, 127, y), rgb(0, 0, 255));
    }
    // Every pixel is the computed gradient, on any screen scale.
    EXPECT_TRUE(test::samePicture(d->oLogo->pixels(), test::gradientLogo({255, 0, 0}, {0, 0, 255})->pixels()));
    EXPECT_TRUE(test::shown(*d->oStat0));
    EXPECT_EQ(d->oStat0->captionBitmap(), d->oLogo);

    const auto background = d->drawingArea->bitmap;
    ASSERT_NE(background, nullptr);
    EXPECT_EQ(background->width(), 365);
    EXPECT_EQ(background->height(), 140);
    EXPECT_EQ(test::pixel(background, 0, 70), rgb(255, 0, 0));
    EXPECT_EQ(test::pixel(background, 364, 70), rgb(0, 0, 255));
    // The window shows it: at the top, above every control, and through the group box.
    const Pixels shown = shownArea(*d);
    test::expectNear(test::pixel(shown, 2, 2), test::pixel(background, 2, 2));
    test::expectNear(test::pixel(shown, 244, 75), test::pixel(background, 244, 75));
    // The swatch shows the bar at its lower-left corner.
    EXPECT_EQ(test::pixel(shown, 112, 131), rgb(255, 0, 0));
    EXPECT_EQ(test::pixel(shown, 239, 108), rgb(0, 0, 255));

    // Again: the same capture object holding the new bar, a new background.
    choose(*d, 1, RGB{0, 255, 0});
    EXPECT_FALSE(test::shown(*d->oStat0)) << "a new colour hides the logo";
    EXPECT_EQ(d->drawingArea->bitmap, background) << "the background stays until rendered again";
    EXPECT_EQ(test::pixel(d->oLogo, 0, 0), rgb(255, 0, 0));
    const auto logo = d->oLogo;
    ASSERT_TRUE(d->MakeLogo());
    EXPECT_EQ(d->oLogo, logo);
    EXPECT_EQ(test::pixel(d->oLogo, 0, 0), rgb(0, 255, 0));
    EXPECT_NE(d->drawingArea->bitmap, background);

    // The same colour twice gives a uniform bar.
    choose(*d, 2, RGB{0, 255, 0});
    ASSERT_TRUE(d->MakeLogo());
    EXPECT_EQ(test::pixel(d->oLogo, 64, 10), rgb(0, 255, 0));
}

TEST_F(GraDialogTest, WriteLogWritesExactlyFiftyBytes)
{
    const auto d = created();
    test::writeAll("LOGO.TXT", std::string(500, '#'));
    d->oStat1->cargo = number(255, 0, 0);
    d->oStat2->cargo = number(0, 0, 255);
    EXPECT_EQ(d->WriteLog(), Succeeded());
    EXPECT_EQ(test::readAll("LOGO.TXT"),
              test::logoTxt({255, 0, 0}, {0, 0, 255}));
    EXPECT_EQ(test::readAll("LOGO.TXT").size(), 50u);

    d->oStat1->cargo = number(7, 64, 100);
    d->oStat2->cargo = 0;  // never chosen
    EXPECT_EQ(d->WriteLog(), Succeeded());
    EXPECT_EQ(test::readAll("LOGO.TXT"),
              test::logoTxt({7, 64, 100}, {0, 0, 0}));

    ASSERT_TRUE(fs::remove("LOGO.TXT"));
    ASSERT_TRUE(fs::create_directory("LOGO.TXT"));
    EXPECT_NE(d->WriteLog(), Succeeded()) << "a failed write is reported";
}

TEST_F(GraDialogTest, PreloadShowsLogoBmpStretched)
{
    // A ramp in both directions, whose smooth stretch is a ramp again.
    Pixels file;
    file.width = 128;
    file.height = 24;
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 128; ++x)
            file.rgb.push_back(rgb(2 * x, 255 - 10 * y, 77));
    test::writeAll("LOGO.BMP", EncodeBmp24(file));

    const auto d = created();
    const auto background = d->drawingArea->bitmap;
    ASSERT_NE(background, nullptr);
    ASSERT_EQ(background->width(), 365);
    ASSERT_EQ(background->height(), 140);
    for (int y = 2; y < 138; y += 9)
        for (int x = 2; x < 363; x += 13) {
            const double sx = std::clamp((x + 0.5) * 128 / 365 - 0.5, 0.0, 127.0);
            const double sy = std::clamp((y + 0.5) * 24 / 140 - 0.5, 0.0, 23.0);
            const std::uint32_t c = test::pixel(background, x, y);
            EXPECT_NEAR(test::red(c), 2 * sx, 4) << x << "," << y;
            EXPECT_NEAR(test::green(c), 255 - 10 * sy, 8) << x << "," << y;
            EXPECT_EQ(test::blue(c), 77);
        }
    test::expectNear(test::pixel(shownArea(*d), 300, 5), test::pixel(background, 300, 5));
    EXPECT_EQ(d->oLogo, nullptr) << "the preload is no logo of this run";
}

TEST_F(GraDialogTest, UnreadableLogoBmpOpensTheWindowOfAFirstStartThatWorks)
{
    const Pixels firstStart = shownArea(*created());
    const std::string huge = test::bmpFile({.width = 100000, .height = 100000});
    for (const std::string& bytes : {std::string(), std::string("BM\x10\x00", 4), huge}) {
        test::writeAll("LOGO.BMP", bytes);
        const auto d = created();
        EXPECT_EQ(d->drawingArea->bitmap, nullptr) << bytes.size() << " bytes";
        EXPECT_TRUE(test::samePicture(shownArea(*d), firstStart))
            << "the plain window, pixel for pixel, " << bytes.size() << " bytes";
        choose(*d, 1, RGB{1, 2, 3});
        EXPECT_EQ(d->oStat1->cargo, number(1, 2, 3)) << "the controls work";
    }
    fs::remove("LOGO.BMP");
    ASSERT_TRUE(fs::create_directory("LOGO.BMP"));
    const auto d = created();
    EXPECT_EQ(d->drawingArea->bitmap, nullptr) << "a directory is no file";
}

TEST_F(GraDialogTest, ScreenReadersHearTheSwatchesColoursAndTheLogo)
{
    const auto d = created();
    EXPECT_EQ(test::spokenName(*d->oPbLogo), "Make Logo");
    EXPECT_EQ(test::spokenName(*d->oGroup), "Gradient Colorbar");
    EXPECT_EQ(test::spokenName(*d->oStat1), "Color 1");
    choose(*d, 1, RGB{255, 0, 0});
    choose(*d, 2, RGB{0, 0, 255});
    EXPECT_EQ(test::spokenName(*d->oStat1), "Color 1: red 255, green 0, blue 0");
    EXPECT_EQ(test::spokenName(*d->oStat2), "Color 2: red 0, green 0, blue 255");
    ASSERT_TRUE(d->MakeLogo());
    EXPECT_EQ(test::spokenName(*d->oStat0), "Logo");
}
