// What only the Qt backend shows of the window: its notifications to a screen
// reader, the focus chain, the descriptions, the icon.
#include <QAccessible>
#include <QIcon>
#include <QImage>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

#include "AppWindows.h"
#include "GraDialog.h"
#include "QtNative.h"
#include "System.h"
#include "TestSupport.h"
#include "WithGraDialog.h"

using namespace rt;

class QtGraDialog : public test::WithGraDialog {};

TEST_F(QtGraDialog, TheWindowHasTheProgramsIcon)
{
    const auto d = created();
    d->icon = 1;
    d->configure();
    EXPECT_FALSE(WidgetOf(*d)->windowIcon().isNull());
    const QImage icon(":/icon/1");  // icon resource 1: 32 x 32, 16 colours
    EXPECT_EQ(icon.size(), QSize(32, 32));
    EXPECT_LE(icon.colorCount(), 16);
}

// What a screen reader is told as the window changes: a notification shown
// with the text, once the window is active again; nothing visible.
TEST_F(QtGraDialog, EveryChangeIsSaidToAScreenReaderAndNothingShows)
{
    test::writeAll("LOGO.BMP", test::readAll(GL_FUZZ_CORPUS "/depth24.bmp"));
    const auto d = created();
    EXPECT_TRUE(WidgetOf(*d)->accessibleDescription().contains("gradient logo"));
    EXPECT_EQ(WidgetOf(*d->oPbColor1)->accessibleDescription(), "Chooses the logo's first colour, on its left.");
    const QWidget* ok = WidgetOf(*d->oPbOk);
    EXPECT_TRUE(ok->accessibleDescription().endsWith(QString::fromStdString(" in " + CurDirShown() + ", then closes.")));
    EXPECT_EQ(ok->toolTip(), ok->accessibleDescription()) << "the tooltip says where the files go, too";
    SetAppWindow(d);
    ASSERT_TRUE(test::activate(*d));
    const QImage before = WidgetOf(*d)->grab().toImage();
    const auto preloaded = d->drawingArea->bitmap;
    QString shown;
    // As a desktop does once the dialog is gone, the window is active again.
    const auto said = [&](const QString& text) {
        WidgetOf(*d)->activateWindow();
        return QTest::qWaitFor([&] {
            const auto notes = WidgetOf(*d)->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
            for (QWidget* w : notes) {
                QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
                if (a && a->role() == QAccessible::Notification && w->isVisible())
                    shown = a->text(QAccessible::Name);
            }
            return shown == text;
        });
    };

    EXPECT_TRUE(said("The logo saved last time is shown as the background.")) << shown.toStdString();
    choose(*d, 1, RGB{208, 32, 48});
    EXPECT_TRUE(said("Color 1 is now red 208, green 32, blue 48, #d02030.")) << shown.toStdString();
    choose(*d, 2, std::nullopt);
    EXPECT_TRUE(said("Color 2 not changed.")) << shown.toStdString();
    choose(*d, 2, RGB{32, 64, 208});
    EXPECT_TRUE(said("Color 2 is now red 32, green 64, blue 208, #2040d0.")) << shown.toStdString();
    ASSERT_TRUE(d->MakeLogo());
    EXPECT_TRUE(said("Logo made, from red 208, green 32, blue 48 to red 32, green 64, blue 208."))
        << shown.toStdString();

    // One notification at a time, which takes no focus and paints nothing.
    int notes = 0;
    for (QWidget* w : WidgetOf(*d)->findChildren<QWidget*>()) {
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        if (a && a->role() == QAccessible::Notification) {
            ++notes;
            EXPECT_EQ(w->focusPolicy(), Qt::NoFocus);
        }
    }
    EXPECT_EQ(notes, 1);
    d->oStat0->hide();
    d->oStat1->hide();
    d->oStat2->hide();
    d->drawingArea->bitmap = preloaded;
    d->configure();
    EXPECT_EQ(WidgetOf(*d)->grab().toImage(), before) << "the window looks as it did";
}

TEST_F(QtGraDialog, KeyboardOrderAndThePicturesDescription)
{
    const auto d = created();
    // Tab goes in reading order, round the four buttons; Shift+Tab goes back.
    QWidget* w = WidgetOf(*d->oPbColor1);
    std::vector<QWidget*> order;
    for (int i = 0; i < 4; ++i) {
        do
            w = w->nextInFocusChain();
        while (!(w->focusPolicy() & Qt::TabFocus) || !w->isVisible());
        order.push_back(w);
    }
    EXPECT_EQ(order, (std::vector<QWidget*>{WidgetOf(*d->oPbColor2), WidgetOf(*d->oPbLogo),
                                            WidgetOf(*d->oPbOk), WidgetOf(*d->oPbColor1)}));

    choose(*d, 1, RGB{255, 0, 0});
    choose(*d, 2, RGB{0, 0, 255});
    ASSERT_TRUE(d->MakeLogo());
    EXPECT_EQ(WidgetOf(*d->oStat0)->accessibleDescription(), "128 x 24 pixel picture");
}
