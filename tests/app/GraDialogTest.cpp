#include <QAccessible>
#include <QImage>
#include <QTest>
#include <QtEndian>
#include <QWidget>
#include <gtest/gtest.h>

#include "AppEvents.h"
#include "AppWindows.h"
#include "Gra.h"
#include "GraDialog.h"
#include "System.h"
#include "TestSupport.h"
#include "XbpPresSpace.h"

using namespace rt;

namespace {
ColorNumber number(int r, int g, int b) { return *GraMakeRGBColor(RGB{r, g, b}); }

// What the drawing area shows on screen, sampled at logical pixel (x, y).
class Shown {
public:
    explicit Shown(const GraDialog& d) : dpr_(d.drawingArea->widget()->devicePixelRatio())
    {
        img_ = QImage(QSize(365, 140) * dpr_, QImage::Format_RGB32);
        img_.setDevicePixelRatio(dpr_);
        d.drawingArea->widget()->render(&img_, QPoint(), QRegion(),
                                         QWidget::DrawWindowBackground | QWidget::DrawChildren);
    }
    QRgb pixel(int x, int y) const { return img_.pixel(int(x * dpr_), int(y * dpr_)); }
    const QImage& image() const { return img_; }

private:
    qreal dpr_;
    QImage img_;
};

// Equal but for the rounding of a screen that scales.
void expectNear(QRgb a, QRgb b)
{
    EXPECT_NEAR(qRed(a), qRed(b), 3);
    EXPECT_NEAR(qGreen(a), qGreen(b), 3);
    EXPECT_NEAR(qBlue(a), qBlue(b), 3);
}
}  // namespace

class GraDialogTest : public test::InTempDir {
protected:
    std::shared_ptr<GraDialog> created()
    {
        auto d = GraDialog::New();
        d->create();
        d->show();
        return d;
    }
    void choose(GraDialog& d, int slot, QColor c)
    {
        last = test::answerColorDialog(c);
        slot == 1 ? d.Make1Color() : d.Make2Color();
    }
    std::shared_ptr<test::ColorAnswer> last;
};

TEST_F(GraDialogTest, StartsWithNoColoursHiddenSwatchesAndNoLogo)
{
    const auto d = created();
    EXPECT_EQ(d->oStat1->cargo, 0);
    EXPECT_EQ(d->oStat2->cargo, 0);
    EXPECT_EQ(d->oLogo, nullptr);
    for (const auto& s : {d->oStat0, d->oStat1, d->oStat2})
        EXPECT_FALSE(s->widget()->isVisible());
}

TEST_F(GraDialogTest, ChoosingRechoosingAndCancellingColours)
{
    const auto d = created();
    choose(*d, 1, QColor(255, 0, 0));
    EXPECT_EQ(last->title, "Farbe Auswahl");
    EXPECT_EQ(last->preselected, QColor(0, 255, 255)) << "cyan the first time";
    EXPECT_EQ(d->oStat1->cargo, number(255, 0, 0));
    EXPECT_TRUE(d->oStat1->widget()->isVisible());
    EXPECT_EQ(d->oStat1->colorBG(), number(255, 0, 0));
    EXPECT_FALSE(d->oStat2->widget()->isVisible()) << "colour 2 keeps its state";
    EXPECT_EQ(d->oStat2->cargo, 0);
    EXPECT_EQ(PendingAppEvents(), 0u) << "the focus event after the dialog was taken";

    choose(*d, 1, QColor(0, 0, 0));
    EXPECT_EQ(last->preselected, QColor(255, 0, 0)) << "the stored colour of that slot";
    EXPECT_EQ(d->oStat1->cargo, number(0, 0, 0)) << "black is a colour";
    EXPECT_GT(d->oStat1->cargo, 0);

    choose(*d, 2, QColor(10, 20, 30));
    EXPECT_EQ(last->preselected, QColor(0, 255, 255)) << "only the named slot is read";
    EXPECT_EQ(d->oStat2->cargo, number(10, 20, 30));

    choose(*d, 2, QColor());  // cancel
    EXPECT_EQ(d->oStat2->cargo, number(10, 20, 30));
    EXPECT_TRUE(d->oStat2->widget()->isVisible());

    // A slot other than 1 or 2 reads no colour: the dialog opens with cyan.
    last = test::answerColorDialog(QColor());
    EXPECT_EQ(d->ColorDialog(3), 0);
    EXPECT_EQ(last->preselected, QColor(0, 255, 255));
}

TEST_F(GraDialogTest, MissingColoursGiveOneMessageAndDrawNothing)
{
    const auto d = created();
    auto msg = test::answerMessageBox();
    EXPECT_FALSE(d->MakeLogo());
    EXPECT_EQ(msg->text, "Color1 and Color2 missing");
    EXPECT_EQ(msg->count, 1);
    EXPECT_FALSE(d->oStat0->widget()->isVisible());
    EXPECT_EQ(d->oLogo, nullptr);
    EXPECT_EQ(d->drawingArea->bitmap, nullptr);

    choose(*d, 2, QColor(0, 0, 255));
    msg = test::answerMessageBox();
    EXPECT_FALSE(d->MakeLogo());
    EXPECT_EQ(msg->text, "Color1 missing");

    d->oStat2->cargo = 0;
    d->oStat1->cargo = number(1, 1, 1);
    msg = test::answerMessageBox();
    EXPECT_FALSE(d->MakeLogo());
    EXPECT_EQ(msg->text, "Color2 missing");
    EXPECT_EQ(d->oLogo, nullptr);
    EXPECT_FALSE(d->oStat0->widget()->isVisible());
}

TEST_F(GraDialogTest, MakeLogoDrawsCapturesAndShowsTheBar)
{
    const auto d = created();
    choose(*d, 1, QColor(255, 0, 0));
    choose(*d, 2, QColor(0, 0, 255));
    ASSERT_TRUE(d->MakeLogo());

    ASSERT_NE(d->oLogo, nullptr);
    EXPECT_EQ(d->oLogo->width(), 128);
    EXPECT_EQ(d->oLogo->height(), 24);
    for (int y = 0; y < 24; ++y) {
        ASSERT_EQ(d->oLogo->image().pixel(0, y) | 0xFF000000, qRgb(255, 0, 0));
        ASSERT_EQ(d->oLogo->image().pixel(127, y) | 0xFF000000, qRgb(0, 0, 255));
    }
    // Every pixel is the computed gradient, on any screen scale.
    auto expected = XbpBitmap::New();
    expected->make(128, 24);
    auto ps = XbpPresSpace::New();
    expected->presSpace(ps);
    GraGradient(*ps, {0, 0}, {{128, 24}}, {number(255, 0, 0), number(0, 0, 255)}, 0);
    EXPECT_EQ(d->oLogo->image(), expected->image());
    EXPECT_TRUE(d->oStat0->widget()->isVisible());
    EXPECT_EQ(d->oStat0->captionBitmap(), d->oLogo);

    const auto background = d->drawingArea->bitmap;
    ASSERT_NE(background, nullptr);
    EXPECT_EQ(background->width(), 365);
    EXPECT_EQ(background->height(), 140);
    EXPECT_EQ(background->image().pixel(0, 70) | 0xFF000000, qRgb(255, 0, 0));
    EXPECT_EQ(background->image().pixel(364, 70) | 0xFF000000, qRgb(0, 0, 255));
    // The window shows it: at the top, above every control, and through the group box.
    const Shown shown(*d);
    expectNear(shown.pixel(2, 2), background->image().pixel(2, 2));
    expectNear(shown.pixel(244, 75), background->image().pixel(244, 75));
    // The swatch shows the bar at its lower-left corner.
    EXPECT_EQ(shown.pixel(112, 131), qRgb(255, 0, 0));
    EXPECT_EQ(shown.pixel(239, 108), qRgb(0, 0, 255));

    // Again: the same capture object holding the new bar, a new background.
    choose(*d, 1, QColor(0, 255, 0));
    EXPECT_FALSE(d->oStat0->widget()->isVisible()) << "a new colour hides the logo";
    EXPECT_EQ(d->drawingArea->bitmap, background) << "the background stays until rendered again";
    EXPECT_EQ(d->oLogo->image().pixel(0, 0) | 0xFF000000, qRgb(255, 0, 0));
    const auto logo = d->oLogo;
    ASSERT_TRUE(d->MakeLogo());
    EXPECT_EQ(d->oLogo, logo);
    EXPECT_EQ(d->oLogo->image().pixel(0, 0) | 0xFF000000, qRgb(0, 255, 0));
    EXPECT_NE(d->drawingArea->bitmap, background);

    // The same colour twice gives a uniform bar.
    choose(*d, 2, QColor(0, 255, 0));
    ASSERT_TRUE(d->MakeLogo());
    EXPECT_EQ(d->oLogo->image().pixel(64, 10) | 0xFF000000, qRgb(0, 255, 0));
}

TEST_F(GraDialogTest, WriteLogWritesExactlyFiftyBytes)
{
    const auto d = created();
    test::writeAll("LOGO.TXT", QByteArray(500, '#'));
    d->oStat1->cargo = number(255, 0, 0);
    d->oStat2->cargo = number(0, 0, 255);
    EXPECT_EQ(d->WriteLog(), std::nullopt);
    EXPECT_EQ(test::readAll("LOGO.TXT"),
              QByteArray("\r\nColor 1 : {255,000,000}\r\nColor 2 : {000,000,255}"));
    EXPECT_EQ(test::readAll("LOGO.TXT").size(), 50);

    d->oStat1->cargo = number(7, 64, 100);
    d->oStat2->cargo = 0;  // never chosen
    EXPECT_EQ(d->WriteLog(), std::nullopt);
    EXPECT_EQ(test::readAll("LOGO.TXT"),
              QByteArray("\r\nColor 1 : {007,064,100}\r\nColor 2 : {000,000,000}"));

    ASSERT_TRUE(QFile::remove("LOGO.TXT"));
    ASSERT_TRUE(QDir().mkdir("LOGO.TXT"));
    EXPECT_NE(d->WriteLog(), std::nullopt) << "a failed write is reported";
}

TEST_F(GraDialogTest, PreloadShowsLogoBmpStretched)
{
    QImage file(128, 24, QImage::Format_RGB32);
    for (int x = 0; x < 128; ++x)
        for (int y = 0; y < 24; ++y)
            file.setPixel(x, y, qRgb(2 * x, 255 - 10 * y, 77));
    ASSERT_TRUE(file.save("LOGO.BMP"));
    const QImage want = file.scaled(365, 140, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);

    const auto d = created();
    ASSERT_NE(d->drawingArea->bitmap, nullptr);
    EXPECT_EQ(d->drawingArea->bitmap->image().convertToFormat(QImage::Format_RGB32),
              want.convertToFormat(QImage::Format_RGB32));
    expectNear(Shown(*d).pixel(300, 5), want.pixel(300, 5));
    EXPECT_EQ(d->oLogo, nullptr) << "the preload is no logo of this run";
}

TEST_F(GraDialogTest, UnreadableLogoBmpOpensTheWindowOfAFirstStartThatWorks)
{
    const QImage firstStart = Shown(*created()).image();
    QByteArray huge("BM", 2);
    huge += QByteArray(52, '\0');
    qToLittleEndian<quint32>(54, huge.data() + 10);
    qToLittleEndian<quint32>(40, huge.data() + 14);
    qToLittleEndian<qint32>(100000, huge.data() + 18);
    qToLittleEndian<qint32>(100000, huge.data() + 22);
    qToLittleEndian<quint16>(1, huge.data() + 26);
    qToLittleEndian<quint16>(24, huge.data() + 28);
    for (const QByteArray& bytes : {QByteArray(), QByteArray("BM\x10\x00", 4), huge}) {
        test::writeAll("LOGO.BMP", bytes);
        const auto d = created();
        EXPECT_EQ(d->drawingArea->bitmap, nullptr) << bytes.size() << " bytes";
        EXPECT_EQ(Shown(*d).image(), firstStart) << "the plain window, pixel for pixel, " << bytes.size() << " bytes";
        choose(*d, 1, QColor(1, 2, 3));
        EXPECT_EQ(d->oStat1->cargo, number(1, 2, 3)) << "the controls work";
    }
    QFile::remove("LOGO.BMP");
    ASSERT_TRUE(QDir().mkdir("LOGO.BMP"));
    const auto d = created();
    EXPECT_EQ(d->drawingArea->bitmap, nullptr) << "a directory is no file";
}

// What a screen reader is told as the window changes: a notification shown
// with the text, once the window is active again; nothing visible.
TEST_F(GraDialogTest, EveryChangeIsSaidToAScreenReaderAndNothingShows)
{
    test::writeAll("LOGO.BMP", test::readAll(GL_FUZZ_CORPUS "/depth24.bmp"));
    const auto d = created();
    EXPECT_TRUE(d->widget()->accessibleDescription().contains("gradient logo"));
    EXPECT_EQ(d->oPbColor1->widget()->accessibleDescription(), "Chooses the logo's first colour, on its left.");
    EXPECT_TRUE(d->oPbOk->widget()->accessibleDescription().contains("LOGO.BMP"));
    SetAppWindow(d);
    d->widget()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(d->widget()));
    const QImage before = d->widget()->grab().toImage();
    const auto preloaded = d->drawingArea->bitmap;
    QString shown;
    // As a desktop does once the dialog is gone, the window is active again.
    const auto said = [&](const QString& text) {
        d->widget()->activateWindow();
        return QTest::qWaitFor([&] {
            const auto notes = d->widget()->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
            for (QWidget* w : notes) {
                QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
                if (a && a->role() == QAccessible::Notification && w->isVisible())
                    shown = a->text(QAccessible::Name);
            }
            return shown == text;
        });
    };

    EXPECT_TRUE(said("The logo saved last time is shown as the background.")) << shown.toStdString();
    choose(*d, 1, QColor(208, 32, 48));
    EXPECT_TRUE(said("Color 1 is now red 208, green 32, blue 48, #d02030.")) << shown.toStdString();
    choose(*d, 2, QColor());
    EXPECT_TRUE(said("Color 2 not changed.")) << shown.toStdString();
    choose(*d, 2, QColor(32, 64, 208));
    EXPECT_TRUE(said("Color 2 is now red 32, green 64, blue 208, #2040d0.")) << shown.toStdString();
    ASSERT_TRUE(d->MakeLogo());
    EXPECT_TRUE(said("Logo made, from red 208, green 32, blue 48 to red 32, green 64, blue 208."))
        << shown.toStdString();

    // One notification at a time, which takes no focus and paints nothing.
    int notes = 0;
    for (QWidget* w : d->widget()->findChildren<QWidget*>()) {
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
    EXPECT_EQ(d->widget()->grab().toImage(), before) << "the window looks as it did";
}

TEST_F(GraDialogTest, KeyboardOrderAndAccessibleNames)
{
    const auto d = created();
    // Tab goes in reading order, round the four buttons; Shift+Tab goes back.
    QWidget* w = d->oPbColor1->widget();
    std::vector<QWidget*> order;
    for (int i = 0; i < 4; ++i) {
        do
            w = w->nextInFocusChain();
        while (!(w->focusPolicy() & Qt::TabFocus) || !w->isVisible());
        order.push_back(w);
    }
    EXPECT_EQ(order, (std::vector<QWidget*>{d->oPbColor2->widget(), d->oPbLogo->widget(),
                                            d->oPbOk->widget(), d->oPbColor1->widget()}));

    EXPECT_EQ(d->oPbLogo->widget()->accessibleName(), "Make Logo");
    EXPECT_EQ(d->oGroup->widget()->accessibleName(), "Gradient Colorbar");
    EXPECT_EQ(d->oStat1->widget()->accessibleName(), "Color 1");
    choose(*d, 1, QColor(255, 0, 0));
    choose(*d, 2, QColor(0, 0, 255));
    EXPECT_EQ(d->oStat1->widget()->accessibleName(), "Color 1: red 255, green 0, blue 0");
    EXPECT_EQ(d->oStat2->widget()->accessibleName(), "Color 2: red 0, green 0, blue 255");
    ASSERT_TRUE(d->MakeLogo());
    EXPECT_EQ(d->oStat0->widget()->accessibleName(), "Logo");
    EXPECT_EQ(d->oStat0->widget()->accessibleDescription(), "128 x 24 pixel picture");
}
