// What only the Qt backend shows: Qt's own fonts, palettes, window flags and dialog options.
#include <QApplication>
#include <QColorDialog>
#include <QPalette>
#include <gtest/gtest.h>

#include "AppWindows.h"
#include "Gra.h"
#include "QtNative.h"
#include "TestSupport.h"
#include "XbpColorDialog.h"
#include "XbpDialog.h"
#include "XbpPushButton.h"
#include "XbpStatic.h"

using namespace rt;


TEST(QtWindow, FramesWithoutMaximiseOrMinimiseButtons)
{
    const auto d = test::hiddenDialog({365, 140});
    EXPECT_FALSE(WidgetOf(*d)->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(WidgetOf(*d)->windowFlags() & Qt::WindowMinimizeButtonHint);
}

TEST(QtWindow, PresentationParametersSetFontAndColours)
{
    const auto d = test::hiddenDialog({200, 100}, std::make_shared<PresParams>(PresParams{{PP_FONT, std::string("8.Arial")}}));
    EXPECT_EQ(WidgetOf(*d)->font().pointSizeF(), 8.0);
    EXPECT_EQ(WidgetOf(*d)->font().family(), "Arial");

    auto b = XbpPushButton::New(d->drawingArea, nullptr, Pos{4, 4}, Size{80, 30},
                                std::make_shared<PresParams>(PresParams{{PP_BGCLR, SYSCLR_BUTTONFACE},
                                                                        {PP_FGCLR, SYSCLR_BUTTONTEXT}}));
    b->create();
    EXPECT_EQ(WidgetOf(*b)->font().pointSizeF(), 8.0) << "the dialog's font applies to its controls";
    EXPECT_EQ(WidgetOf(*b)->palette().color(QPalette::Button), QApplication::palette().color(QPalette::Button));

    auto s = XbpStatic::New(d->drawingArea, nullptr, Pos{0, 0}, Size{20, 20},
                            std::make_shared<PresParams>(PresParams{{PP_BGCLR, double(*GraMakeRGBColor(RGB{9, 8, 7}))}}));
    s->create();
    EXPECT_EQ(WidgetOf(*s)->palette().color(WidgetOf(*s)->backgroundRole()), QColor(9, 8, 7));
    EXPECT_TRUE(WidgetOf(*s)->autoFillBackground()) << "the colour is painted";
}

TEST(QtWindow, TheColourDialogIsQtsOwnWithoutAlpha)
{
    const auto d = test::hiddenDialog({200, 100});
    auto c = XbpColorDialog::New(d->drawingArea);
    c->create();
    ASSERT_NE(c->dialog(), nullptr);
    EXPECT_TRUE(c->dialog()->dialog.testOption(QColorDialog::DontUseNativeDialog));
    EXPECT_FALSE(c->dialog()->dialog.testOption(QColorDialog::ShowAlphaChannel));
}
