// What only the Qt backend shows: Qt's own fonts, palettes, window flags and dialog options.
#include <QAccessible>
#include <QApplication>
#include <QColorDialog>
#include <QPalette>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "Accessibility.h"
#include "AppEvents.h"
#include "AppWindows.h"
#include "Announce.h"
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
    auto d = test::hiddenDialog({200, 100});
    auto c = XbpColorDialog::New(d->drawingArea);
    c->create();
    ASSERT_NE(c->dialog(), nullptr);
    EXPECT_TRUE(c->dialog()->dialog->testOption(QColorDialog::DontUseNativeDialog));
    EXPECT_FALSE(c->dialog()->dialog->testOption(QColorDialog::ShowAlphaChannel));
    // Its owner window goes first: the dialog goes with it, once, and no later run opens it.
    d.reset();
    EXPECT_EQ(c->dialog()->dialog, nullptr);
    EXPECT_EQ(c->display(), std::nullopt);
    c.reset();
}

// The close waits, in the ordinary loop and with the window whole, while a
// screen reader may still ask for what the save said; the window then goes
// without any loop running inside its destruction.
TEST(QtAnnounce, TheCloseWaitsForTheLastWordsInTheOrdinaryLoop)
{
    auto d = test::hiddenDialog({200, 100});
    SetAppWindow(d);
    QAccessible::queryAccessibleInterface(WidgetOf(*d));
    ASSERT_TRUE(QTest::qWaitFor([] { return QAccessible::isActive(); }))
        << "no screen reader's bridge is on: run with the accessibility bus (QT_LINUX_ACCESSIBILITY_ALWAYS_ON)";
    Announce("Saved LOGO.TXT and LOGO.BMP.");
    PostAppEvent(EVENT_CLOSE);
    bool ranWhileWaiting = false;
    QTimer::singleShot(0, [&ranWhileWaiting] { ranWhileWaiting = true; });
    MsgParam mp1, mp2;
    std::shared_ptr<XbpWindow> oXbp;
    EXPECT_EQ(AppEvent(mp1, mp2, oXbp), EVENT_CLOSE);
    EXPECT_TRUE(ranWhileWaiting);
    const QWidget* note = WidgetOf(*d)->findChild<QWidget*>(kAnnouncementName);
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(note->accessibleName(), "Saved LOGO.TXT and LOGO.BMP.");

    bool ranInDestruction = false;
    QTimer::singleShot(0, [&ranInDestruction] { ranInDestruction = true; });
    SetAppWindow(nullptr);
    d.reset();
    EXPECT_FALSE(ranInDestruction);
    test::processEvents();
}
