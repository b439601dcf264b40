#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <set>

#include "AppEvents.h"
#include "AppWindows.h"
#include "BmpCodec.h"
#include "MakeGraForm.h"
#include "System.h"
#include "TestSupport.h"
#include "XbpBitmap.h"

using namespace rt;
using test::Geometry;
using test::rgb;

namespace {
std::shared_ptr<MakeGraForm> newForm()
{
    auto f = std::make_shared<MakeGraForm>();
    f->init();
    return f;
}

// The eight controls in the order they are made: their caption, whether they
// show once the window does, and where they land (in the group box or else
// the drawing area, from its top-left corner).
struct Control {
    std::shared_ptr<XbpWindow> w;
    std::string caption;
    bool visible;
    bool inGroup;
    Geometry at;
};
std::vector<Control> controls(const MakeGraForm& f)
{
    return {
        {f.oPbLogo, f.oPbLogo->caption, true, false, {4, 104, 100, 32}},
        {f.oPbOk, f.oPbOk->caption, true, false, {248, 104, 100, 32}},
        {f.oGroup, f.oGroup->caption, true, false, {0, 40, 352, 56}},
        {f.oPbColor1, f.oPbColor1->caption, true, true, {4, 20, 100, 30}},
        {f.oStat0, f.oStat0->caption, false, false, {112, 102, 128, 30}},
        {f.oStat1, f.oStat1->caption, false, true, {112, 20, 64, 32}},
        {f.oStat2, f.oStat2->caption, false, true, {176, 20, 64, 32}},
        {f.oPbColor2, f.oPbColor2->caption, true, true, {248, 20, 100, 30}},
    };
}
}  // namespace

TEST(Form, InitDefaultsAndAttributes)
{
    const auto f = newForm();
    EXPECT_EQ(f->parent(), AppDesktop());
    EXPECT_EQ(f->owner(), nullptr);
    EXPECT_EQ(f->pos(), (Pos{0, 0}));
    EXPECT_EQ(f->size(), (Size{365, 140}));
    EXPECT_FALSE(f->isVisible());
    EXPECT_EQ(f->presParams(), (PresParams{{PP_FONT, std::string("8.Arial")}}));
    EXPECT_EQ(f->title, "Gradient Logo");
    EXPECT_TRUE(f->taskList);
    EXPECT_FALSE(f->maxButton);
    EXPECT_FALSE(f->minButton);
    EXPECT_TRUE(f->editControls.empty());
    EXPECT_EQ(f->native(), nullptr) << "init makes no window";

    std::vector<std::string> captions;
    for (const auto& c : controls(*f)) {
        EXPECT_EQ(c.w->isVisible(), c.visible) << c.caption;
        captions.push_back(c.caption);
    }
    EXPECT_EQ(captions, (std::vector<std::string>{"Make Logo", "Ok Logo", "Gradient Colorbar", "Color 1", "",
                                                  "Color 1", "Color 2", "Color 2"}));
    for (const auto& b : {f->oPbLogo, f->oPbOk, f->oPbColor1, f->oPbColor2}) {
        EXPECT_TRUE(b->tabStop);
        EXPECT_TRUE(b->activate) << "a do-nothing action";
        EXPECT_EQ(b->presParams(), (PresParams{{PP_BGCLR, -40.0}, {PP_FGCLR, -58.0}}));
    }
    EXPECT_EQ(f->oGroup->type, XbpStatic::TypeGroupBox);
    EXPECT_EQ(f->oGroup->options, 5);
    EXPECT_EQ(f->oGroup->presParams(), (PresParams{{PP_BGCLR, -255.0}}));
    EXPECT_EQ(f->oStat0->type, XbpStatic::TypeBitmap);
    EXPECT_EQ(f->oStat1->options, 5);
    EXPECT_EQ(f->oPbOk->tooltip, f->oPbOk->accessibleDescription);
    EXPECT_NE(f->oPbOk->tooltip.find(" in " + CurDirShown() + ","), std::string::npos) << "it says where the files go";
}

TEST(Form, GivenArgumentsArePassedOnAndTheCallersArrayGainsOnePair)
{
    auto pp = std::make_shared<PresParams>(PresParams{{PP_FONT, std::string("12.Courier")}, {PP_BGCLR, 3.0}});
    auto f = std::make_shared<MakeGraForm>();
    f->init(nullptr, nullptr, Pos{10, 20}, Size{400, 200}, pp, true);
    ASSERT_EQ(pp->size(), 3u);
    EXPECT_EQ(pp->back(), (PresParam{PP_FONT, std::string("8.Arial")}));
    EXPECT_EQ(f->presParams(), *pp);
    EXPECT_TRUE(f->isVisible());
    EXPECT_EQ(f->pos(), (Pos{10, 20}));
    EXPECT_EQ(f->size(), (Size{400, 200}));
    EXPECT_EQ(f->oPbOk->pos(), (Pos{248, 4})) << "a given size moves no control";
    EXPECT_EQ(f->oPbOk->size(), (Size{100, 32}));
}

class FormWindow : public test::InTempDir {};

TEST_F(FormWindow, ControlsLandWhereTheLayoutPutsThem)
{
    const auto f = newForm();
    f->create();
    ASSERT_NE(f->native(), nullptr);
    EXPECT_EQ(test::clientSize(*f), (Size{365, 140}));
    EXPECT_FALSE(test::shown(*f));
    const XbpWindow& area = *f->drawingArea;
    const XbpWindow& group = *f->oGroup;

    std::vector<const XbpWindow*> inArea, inGroup;
    for (const auto& c : controls(*f)) {
        EXPECT_EQ(test::geometry(*c.w), c.at) << c.caption;
        EXPECT_TRUE(test::nativeChildOf(*c.w, c.inGroup ? group : area)) << c.caption;
        (c.inGroup ? inGroup : inArea).push_back(c.w.get());
    }
    // Windows are made in declared order, the group box before its four children.
    EXPECT_EQ(test::nativeChildren(area), inArea);
    EXPECT_EQ(test::nativeChildren(group), inGroup);

    f->show();
    for (const auto& c : controls(*f))
        EXPECT_EQ(test::shown(*c.w), c.visible) << c.caption;
    EXPECT_EQ(f->drawingArea->bitmap, nullptr) << "no LOGO.BMP, no background";
}

TEST_F(FormWindow, DoNothingActionsHaveNoEffect)
{
    ClearAppEvents();
    const auto f = newForm();
    f->create();
    f->show();
    for (const auto& b : {f->oPbLogo, f->oPbOk, f->oPbColor1, f->oPbColor2}) {
        test::click(*b);
        MsgParam mp1, mp2;
        std::shared_ptr<XbpWindow> w;
        EXPECT_EQ(AppEvent(mp1, mp2, w), EVENT_ACTIVATE);
        EXPECT_EQ(w, b);
        w->handleEvent(EVENT_ACTIVATE, mp1, mp2);
    }
    EXPECT_EQ(PendingAppEvents(), 0u);
    EXPECT_FALSE(File("LOGO.TXT"));
}

TEST_F(FormWindow, APaletteLogoIsShownInItsOwnColours)
{
    // Eight bands of colours that no fixed colour cube holds, then a 200-colour gradient.
    const std::vector<std::uint32_t> bands{rgb(12, 0, 128),  rgb(250, 3, 7),    rgb(1, 130, 77),  rgb(99, 99, 101),
                                           rgb(240, 230, 5), rgb(17, 200, 230), rgb(130, 40, 60), rgb(5, 5, 5)};
    test::writeAll("LOGO.BMP", test::paletteBmp(128, 24, 8, bands, [](int x, int) { return x / 16; }));
    const auto f = newForm();
    f->create();
    ASSERT_NE(f->drawingArea->bitmap, nullptr);
    const auto& shownBitmap = *f->drawingArea->bitmap;
    EXPECT_EQ(shownBitmap.bits(), 8) << "the stretched copy keeps 8 bits";
    for (int band = 0; band < 8; ++band) {
        const int x = (band * 16 + 8) * 365 / 128;
        EXPECT_EQ(test::pixel(shownBitmap, x, 70), bands[std::size_t(band)]) << "band " << band;
    }

    std::vector<std::uint32_t> ramp;
    for (int i = 0; i < 200; ++i)
        ramp.push_back(rgb(i, 255 - i, (i * 7) % 256));
    test::writeAll("LOGO.BMP", test::paletteBmp(200, 24, 8, ramp, [](int x, int) { return x; }));
    const auto g = newForm();
    g->create();
    std::set<std::uint32_t> seen;
    const auto& stretched = *g->drawingArea->bitmap;
    for (int x = 0; x < 365; ++x) {
        const std::uint32_t c = test::pixel(stretched, x, 70);
        seen.insert(c);
        EXPECT_NE(std::find(ramp.begin(), ramp.end(), c), ramp.end()) << "column " << x << " from the source's palette";
    }
    EXPECT_GE(seen.size(), 190u) << "the gradient's colours, not a posterised few";
}

TEST_F(FormWindow, TheGroupCaptionIsLegibleOnAnyLogoAndTheBoxLetsItThrough)
{
    for (const std::uint32_t logo : {rgb(0, 0, 0), rgb(255, 255, 255), rgb(128, 128, 128)}) {
        Pixels plain;
        plain.width = 128;
        plain.height = 24;
        plain.rgb.assign(128 * 24, logo);
        test::writeAll("LOGO.BMP", EncodeBmp24(plain));
        const auto f = newForm();
        f->create();
        f->show();
        const Pixels shot = test::shownPixels(*f);
        ASSERT_EQ(shot.width, 365);
        ASSERT_EQ(shot.height, 140);
        // The caption's strokes stand out from the logo behind them.
        int strokes = 0;
        for (int y = 40; y < 56; ++y)
            for (int x = 8; x < 120; ++x)
                strokes += std::abs(test::grey(test::pixel(shot, x, y)) - test::grey(logo)) >= 96;
        EXPECT_GE(strokes, 60) << "caption on grey " << test::grey(logo);
        // Inside the frame, away from the caption and the controls, the logo shows unchanged.
        EXPECT_EQ(test::pixel(shot, 108, 75), logo) << "inside, on grey " << test::grey(logo);
        EXPECT_EQ(test::pixel(shot, 360, 75), logo) << "outside, on grey " << test::grey(logo);
        f->hide();
    }
}
