#include <gtest/gtest.h>

#include "AppEvents.h"
#include "AppWindows.h"
#include "Gra.h"
#include "TestSupport.h"
#include "XbpBitmap.h"
#include "XbpColorDialog.h"
#include "XbpDialog.h"
#include "XbpPresSpace.h"
#include "XbpPushButton.h"
#include "XbpStatic.h"

using namespace rt;
using test::Geometry;
using test::rgb;


TEST(Window, LowerLeftPositionsBecomeThePlatformsGeometry)
{
    const auto d = test::hiddenDialog({365, 140});
    EXPECT_EQ(test::clientSize(*d), (Size{365, 140})) << "the size is the drawing area's";
    EXPECT_EQ(test::geometry(*d->drawingArea), (Geometry{0, 0, 365, 140}));
    EXPECT_TRUE(test::nativeChildOf(*d->drawingArea, *d));
    EXPECT_EQ(test::title(*d), "Window test");

    auto b = XbpPushButton::New(d->drawingArea, nullptr, Pos{4, 4}, Size{100, 32});
    b->create();
    EXPECT_EQ(test::geometry(*b), (Geometry{4, 104, 100, 32}));
    EXPECT_TRUE(test::nativeChildOf(*b, *d->drawingArea));

    auto group = XbpStatic::New(d->drawingArea, nullptr, Pos{0, 44}, Size{352, 56});
    group->type = XbpStatic::TypeGroupBox;
    group->create();
    auto inner = XbpStatic::New(group, nullptr, Pos{112, 4}, Size{64, 32}, nullptr, false);
    inner->create();
    EXPECT_EQ(test::geometry(*group), (Geometry{0, 40, 352, 56}));
    EXPECT_EQ(test::geometry(*inner), (Geometry{112, 20, 64, 32}));
    EXPECT_TRUE(test::nativeChildOf(*inner, *group));
    d->show();
    EXPECT_FALSE(test::shown(*inner));
    inner->show();
    EXPECT_TRUE(test::shown(*inner));
    d->hide();
    EXPECT_FALSE(test::shown(*inner)) << "hidden with its window";
}

TEST(Window, StaticShowsItsColourAndBitmapCaption)
{
    const auto d = test::hiddenDialog({200, 100});
    auto s = XbpStatic::New(d->drawingArea, nullptr, Pos{0, 0}, Size{64, 32});
    s->caption = "Color 1";
    s->create();
    s->setColorBG(*GraMakeRGBColor(RGB{0, 0, 0}));
    const auto [probe, probePS] = test::canvas(64, 32);
    auto lock = s->lockPS();
    GraBitBlt(*probePS, *lock, {0, 0, 64, 32}, {0, 0, 64, 32});
    s->unlockPS(lock);
    EXPECT_EQ(test::pixel(probe, 1, 1), rgb(0, 0, 0));
    bool lightText = false;  // the caption stays legible on black
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 64; ++x)
            lightText |= test::grey(test::pixel(probe, x, y)) > 128;
    EXPECT_TRUE(lightText);

    auto picture = XbpBitmap::New();
    picture->make(10, 4);
    auto bmpStatic = XbpStatic::New(d->drawingArea, nullptr, Pos{0, 40}, Size{20, 10});
    bmpStatic->type = XbpStatic::TypeBitmap;
    bmpStatic->create();
    bmpStatic->setColorBG(*GraMakeRGBColor(RGB{0, 0, 255}));
    bmpStatic->setCaption(picture);
    lock = bmpStatic->lockPS();
    const auto [out, outPS] = test::canvas(20, 10);
    GraBitBlt(*outPS, *lock, {0, 0, 20, 10}, {0, 0, 20, 10});
    bmpStatic->unlockPS(lock);
    // The white caption sits in the lower-left corner, the blue background elsewhere.
    EXPECT_EQ(test::pixel(out, 0, 9), rgb(255, 255, 255));
    EXPECT_EQ(test::pixel(out, 9, 6), rgb(255, 255, 255));
    EXPECT_EQ(test::pixel(out, 9, 5), rgb(0, 0, 255));
    EXPECT_EQ(test::pixel(out, 10, 9), rgb(0, 0, 255));
}

TEST(Window, ColourDialogIsModalPreselectedAndReportsCancelAsNothing)
{
    ClearAppEvents();
    const auto d = test::hiddenDialog({200, 100});
    auto c = XbpColorDialog::New(d->drawingArea);
    c->title = "Pick";
    c->center = true;
    c->showHelp = false;
    c->defaultColor = GraMakeRGBColor(RGB{0, 255, 255});
    c->create();
    ASSERT_NE(c->dialog(), nullptr);

    auto seen = test::answerColorDialog(RGB{0, 0, 0});
    EXPECT_EQ(c->display(), GraMakeRGBColor(RGB{0, 0, 0}));
    EXPECT_EQ(seen->title, "Pick");
    EXPECT_EQ(seen->preselected, (RGB{0, 255, 255}));
    EXPECT_EQ(PendingAppEvents(), 1u) << "one focus event after the dialog";

    seen = test::answerColorDialog(RGB{12, 34, 56});
    EXPECT_EQ(c->display(), GraMakeRGBColor(RGB{12, 34, 56}));
    seen = test::answerColorDialog(std::nullopt);
    EXPECT_EQ(c->display(), std::nullopt);
    EXPECT_EQ(seen->title, "Pick");
    c->destroy();
    EXPECT_EQ(c->dialog(), nullptr);
    ClearAppEvents();
}
