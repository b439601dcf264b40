#include <QImage>
#include <QPushButton>
#include <QSet>
#include <QWidget>
#include <gtest/gtest.h>

#include "AppEvents.h"
#include "AppWindows.h"
#include "MakeGraForm.h"
#include "System.h"
#include "TestSupport.h"
#include "XbpBitmap.h"

using namespace rt;

namespace {
std::shared_ptr<MakeGraForm> newForm()
{
    auto f = std::make_shared<MakeGraForm>();
    f->init();
    return f;
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
    EXPECT_EQ(f->widget(), nullptr) << "init makes no window";

    EXPECT_FALSE(f->oStat0->isVisible());
    EXPECT_FALSE(f->oStat1->isVisible());
    EXPECT_FALSE(f->oStat2->isVisible());
    for (const auto& w : {f->oPbLogo, f->oPbOk, f->oPbColor1, f->oPbColor2})
        EXPECT_TRUE(w->isVisible());
    EXPECT_TRUE(f->oGroup->isVisible());

    EXPECT_EQ(f->oPbLogo->caption, "Make Logo");
    EXPECT_EQ(f->oPbOk->caption, "Ok Logo");
    EXPECT_EQ(f->oPbColor1->caption, "Color 1");
    EXPECT_EQ(f->oPbColor2->caption, "Color 2");
    for (const auto& b : {f->oPbLogo, f->oPbOk, f->oPbColor1, f->oPbColor2}) {
        EXPECT_TRUE(b->tabStop);
        EXPECT_TRUE(b->activate) << "a do-nothing action";
        EXPECT_EQ(b->presParams(), (PresParams{{PP_BGCLR, -40.0}, {PP_FGCLR, -58.0}}));
    }
    EXPECT_EQ(f->oGroup->caption, "Gradient Colorbar");
    EXPECT_EQ(f->oGroup->type, XbpStatic::TypeGroupBox);
    EXPECT_EQ(f->oGroup->options, 5);
    EXPECT_EQ(f->oGroup->presParams(), (PresParams{{PP_BGCLR, -255.0}}));
    EXPECT_EQ(f->oStat0->type, XbpStatic::TypeBitmap);
    EXPECT_EQ(f->oStat1->caption, "Color 1");
    EXPECT_EQ(f->oStat2->caption, "Color 2");
    EXPECT_EQ(f->oStat1->options, 5);
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
    ASSERT_NE(f->widget(), nullptr);
    EXPECT_EQ(f->widget()->size(), QSize(365, 140));
    EXPECT_FALSE(f->widget()->isVisible());
    QWidget* area = f->drawingArea->widget();
    QWidget* group = f->oGroup->widget();

    struct Want {
        std::shared_ptr<XbpWindow> w;
        QWidget* parent;
        QRect qt;
    };
    const std::vector<Want> layout = {
        {f->oPbLogo, area, QRect(4, 104, 100, 32)},   {f->oStat0, area, QRect(112, 102, 128, 30)},
        {f->oPbOk, area, QRect(248, 104, 100, 32)},   {f->oGroup, area, QRect(0, 40, 352, 56)},
        {f->oPbColor1, group, QRect(4, 20, 100, 30)}, {f->oStat1, group, QRect(112, 20, 64, 32)},
        {f->oStat2, group, QRect(176, 20, 64, 32)},   {f->oPbColor2, group, QRect(248, 20, 100, 30)},
    };
    for (const auto& [w, parent, qt] : layout) {
        EXPECT_EQ(w->widget()->geometry(), qt) << qt.x() << "," << qt.y();
        EXPECT_EQ(w->widget()->parentWidget(), parent);
    }

    // Windows are made in declared order, the group box before its four children.
    const auto kids = [](QWidget* p) {
        std::vector<QWidget*> out;
        for (QObject* o : p->children())
            if (auto* w = qobject_cast<QWidget*>(o))
                out.push_back(w);
        return out;
    };
    EXPECT_EQ(kids(area), (std::vector<QWidget*>{f->oPbLogo->widget(), f->oPbOk->widget(),
                                                 group, f->oStat0->widget()}));
    EXPECT_EQ(kids(group), (std::vector<QWidget*>{f->oPbColor1->widget(), f->oStat1->widget(),
                                                  f->oStat2->widget(), f->oPbColor2->widget()}));

    f->show();
    for (const auto& w : {f->oStat0, f->oStat1, f->oStat2})
        EXPECT_FALSE(w->widget()->isVisible());
    const std::vector<std::shared_ptr<XbpWindow>> shown{f->oPbLogo, f->oPbOk, f->oPbColor1,
                                                        f->oPbColor2, f->oGroup};
    for (const auto& w : shown)
        EXPECT_TRUE(w->widget()->isVisible());
    EXPECT_EQ(f->drawingArea->bitmap, nullptr) << "no LOGO.BMP, no background";
}

TEST_F(FormWindow, DoNothingActionsHaveNoEffect)
{
    ClearAppEvents();
    const auto f = newForm();
    f->create();
    f->show();
    for (const auto& b : {f->oPbLogo, f->oPbOk, f->oPbColor1, f->oPbColor2}) {
        static_cast<QPushButton*>(b->widget())->click();
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
    const QList<QRgb> bands{qRgb(12, 0, 128),  qRgb(250, 3, 7),   qRgb(1, 130, 77),  qRgb(99, 99, 101),
                            qRgb(240, 230, 5), qRgb(17, 200, 230), qRgb(130, 40, 60), qRgb(5, 5, 5)};
    QImage banded(128, 24, QImage::Format_Indexed8);
    banded.setColorTable(bands);
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 128; ++x)
            banded.setPixel(x, y, uint(x / 16));
    ASSERT_TRUE(banded.save("LOGO.BMP", "BMP"));
    const auto f = newForm();
    f->create();
    ASSERT_NE(f->drawingArea->bitmap, nullptr);
    const auto shown = f->drawingArea->bitmap->image();
    EXPECT_EQ(f->drawingArea->bitmap->bits(), 8) << "the stretched copy keeps 8 bits";
    for (int band = 0; band < 8; ++band) {
        const int x = (band * 16 + 8) * 365 / 128;
        EXPECT_EQ(shown.pixel(x, 70), bands[band]) << "band " << band;
    }

    QImage gradient(200, 24, QImage::Format_Indexed8);
    QList<QRgb> ramp;
    for (int i = 0; i < 200; ++i)
        ramp.push_back(qRgb(i, 255 - i, (i * 7) % 256));
    gradient.setColorTable(ramp);
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 200; ++x)
            gradient.setPixel(x, y, uint(x));
    ASSERT_TRUE(gradient.save("LOGO.BMP", "BMP"));
    const auto g = newForm();
    g->create();
    QSet<QRgb> seen;
    const QImage stretched = g->drawingArea->bitmap->image();
    for (int x = 0; x < 365; ++x) {
        seen.insert(stretched.pixel(x, 70));
        EXPECT_TRUE(ramp.contains(stretched.pixel(x, 70))) << "column " << x << " from the source's palette";
    }
    EXPECT_GE(seen.size(), 190) << "the gradient's colours, not a posterised few";
}

TEST_F(FormWindow, TheGroupCaptionIsLegibleOnAnyLogoAndTheBoxLetsItThrough)
{
    for (const QRgb logo : {qRgb(0, 0, 0), qRgb(255, 255, 255), qRgb(128, 128, 128)}) {
        QImage plain(128, 24, QImage::Format_RGB32);
        plain.fill(logo);
        ASSERT_TRUE(plain.save("LOGO.BMP", "BMP"));
        const auto f = newForm();
        f->create();
        f->show();
        const QImage shot = f->widget()->grab().toImage().scaled(365, 140);
        // The caption's strokes stand out from the logo behind them.
        int strokes = 0;
        for (int y = 40; y < 56; ++y)
            for (int x = 8; x < 120; ++x)
                strokes += std::abs(qGray(shot.pixel(x, y)) - qGray(logo)) >= 96;
        EXPECT_GE(strokes, 60) << "caption on grey " << qGray(logo);
        // Inside the frame, away from the caption and the controls, the logo shows unchanged.
        EXPECT_EQ(shot.pixel(108, 75) & 0xFFFFFF, logo & 0xFFFFFF) << "inside, on grey " << qGray(logo);
        EXPECT_EQ(shot.pixel(360, 75) & 0xFFFFFF, logo & 0xFFFFFF) << "outside, on grey " << qGray(logo);
        f->hide();
    }
}
