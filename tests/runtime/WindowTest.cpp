#include <QApplication>
#include <QColorDialog>
#include <QFontInfo>
#include <QPushButton>
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

namespace {
std::shared_ptr<XbpDialog> makeDialog(Size size, std::shared_ptr<PresParams> pp = nullptr)
{
    auto d = std::make_shared<XbpDialog>();
    d->init(AppDesktop(), nullptr, Pos{0, 0}, size, pp, false);
    d->title = "Window test";
    d->maxButton = false;
    d->minButton = false;
    d->create();
    return d;
}
}  // namespace

TEST(Window, LowerLeftPositionsBecomeQtGeometry)
{
    const auto d = makeDialog({365, 140});
    EXPECT_EQ(d->widget()->size(), QSize(365, 140)) << "the size is the drawing area's";
    EXPECT_EQ(d->drawingArea->widget()->geometry(), QRect(0, 0, 365, 140));
    EXPECT_EQ(d->drawingArea->widget()->parentWidget(), d->widget());
    EXPECT_FALSE(d->widget()->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(d->widget()->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_EQ(d->widget()->windowTitle(), "Window test");

    auto b = XbpPushButton::New(d->drawingArea, nullptr, Pos{4, 4}, Size{100, 32});
    b->create();
    EXPECT_EQ(b->widget()->geometry(), QRect(4, 104, 100, 32));
    EXPECT_EQ(b->widget()->parentWidget(), d->drawingArea->widget());

    auto group = XbpStatic::New(d->drawingArea, nullptr, Pos{0, 44}, Size{352, 56});
    group->type = XbpStatic::TypeGroupBox;
    group->create();
    auto inner = XbpStatic::New(group, nullptr, Pos{112, 4}, Size{64, 32}, nullptr, false);
    inner->create();
    EXPECT_EQ(group->widget()->geometry(), QRect(0, 40, 352, 56));
    EXPECT_EQ(inner->widget()->geometry(), QRect(112, 20, 64, 32));
    EXPECT_FALSE(inner->widget()->isVisibleTo(group->widget()));
    inner->show();
    EXPECT_TRUE(inner->widget()->isVisibleTo(group->widget()));
}

TEST(Window, PresentationParametersSetFontAndColours)
{
    const auto d = makeDialog({200, 100}, std::make_shared<PresParams>(PresParams{{PP_FONT, std::string("8.Arial")}}));
    EXPECT_EQ(d->widget()->font().pointSizeF(), 8.0);
    EXPECT_EQ(d->widget()->font().family(), "Arial");

    auto b = XbpPushButton::New(d->drawingArea, nullptr, Pos{4, 4}, Size{80, 30},
                                std::make_shared<PresParams>(PresParams{{PP_BGCLR, SYSCLR_BUTTONFACE},
                                                                        {PP_FGCLR, SYSCLR_BUTTONTEXT}}));
    b->create();
    EXPECT_EQ(b->widget()->font().pointSizeF(), 8.0) << "the dialog's font applies to its controls";
    EXPECT_EQ(b->widget()->palette().color(QPalette::Button), QApplication::palette().color(QPalette::Button));

    auto s = XbpStatic::New(d->drawingArea, nullptr, Pos{0, 0}, Size{20, 20},
                            std::make_shared<PresParams>(PresParams{{PP_BGCLR, double(*GraMakeRGBColor(RGB{9, 8, 7}))}}));
    s->create();
    EXPECT_EQ(s->widget()->palette().color(s->widget()->backgroundRole()), QColor(9, 8, 7));
    EXPECT_TRUE(s->widget()->autoFillBackground()) << "the colour is painted";
}

TEST(Window, StaticShowsItsColourAndBitmapCaption)
{
    const auto d = makeDialog({200, 100});
    auto s = XbpStatic::New(d->drawingArea, nullptr, Pos{0, 0}, Size{64, 32});
    s->caption = "Color 1";
    s->create();
    s->setColorBG(*GraMakeRGBColor(RGB{0, 0, 0}));
    auto probe = XbpBitmap::New();
    probe->make(64, 32);
    auto probePS = XbpPresSpace::New();
    probe->presSpace(probePS);
    auto lock = s->lockPS();
    GraBitBlt(*probePS, *lock, {0, 0, 64, 32}, {0, 0, 64, 32});
    s->unlockPS(lock);
    EXPECT_EQ(probe->image().pixel(1, 1) | 0xFF000000, qRgb(0, 0, 0));
    bool lightText = false;  // the caption stays legible on black
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 64; ++x)
            lightText |= qGray(probe->image().pixel(x, y)) > 128;
    EXPECT_TRUE(lightText);

    auto picture = XbpBitmap::New();
    picture->make(10, 4);
    auto bmpStatic = XbpStatic::New(d->drawingArea, nullptr, Pos{0, 40}, Size{20, 10});
    bmpStatic->type = XbpStatic::TypeBitmap;
    bmpStatic->create();
    bmpStatic->setColorBG(*GraMakeRGBColor(RGB{0, 0, 255}));
    bmpStatic->setCaption(picture);
    lock = bmpStatic->lockPS();
    auto out = XbpBitmap::New();
    out->make(20, 10);
    auto outPS = XbpPresSpace::New();
    out->presSpace(outPS);
    GraBitBlt(*outPS, *lock, {0, 0, 20, 10}, {0, 0, 20, 10});
    bmpStatic->unlockPS(lock);
    // The white caption sits in the lower-left corner, the blue background elsewhere.
    EXPECT_EQ(out->image().pixel(0, 9) | 0xFF000000, qRgb(255, 255, 255));
    EXPECT_EQ(out->image().pixel(9, 6) | 0xFF000000, qRgb(255, 255, 255));
    EXPECT_EQ(out->image().pixel(9, 5) | 0xFF000000, qRgb(0, 0, 255));
    EXPECT_EQ(out->image().pixel(10, 9) | 0xFF000000, qRgb(0, 0, 255));
}

TEST(Window, ColourDialogIsModalPreselectedAndReportsCancelAsNothing)
{
    ClearAppEvents();
    const auto d = makeDialog({200, 100});
    auto c = XbpColorDialog::New(d->drawingArea);
    c->title = "Pick";
    c->center = true;
    c->showHelp = false;
    c->defaultColor = GraMakeRGBColor(RGB{0, 255, 255});
    c->create();
    ASSERT_NE(c->dialog(), nullptr);
    EXPECT_TRUE(c->dialog()->testOption(QColorDialog::DontUseNativeDialog));
    EXPECT_FALSE(c->dialog()->testOption(QColorDialog::ShowAlphaChannel));

    auto seen = test::answerColorDialog(QColor(0, 0, 0));
    EXPECT_EQ(c->display(), GraMakeRGBColor(RGB{0, 0, 0}));
    EXPECT_EQ(seen->title, "Pick");
    EXPECT_EQ(seen->preselected, QColor(0, 255, 255));
    EXPECT_EQ(PendingAppEvents(), 1u) << "one focus event after the dialog";

    seen = test::answerColorDialog(QColor());
    EXPECT_EQ(c->display(), std::nullopt);
    c->destroy();
    EXPECT_EQ(c->dialog(), nullptr);
    ClearAppEvents();
}
