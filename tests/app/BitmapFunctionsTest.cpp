#include <gtest/gtest.h>

#include "AppWindows.h"
#include "BMP2BMP.h"
#include "ColorIcon.h"
#include "Gra.h"
#include "SaveLogo.h"
#include "TestSupport.h"
#include "XbpDialog.h"
#include "XbpPresSpace.h"

using namespace rt;

namespace {
std::shared_ptr<XbpBitmap> bitmap(int w, int h, std::optional<int> planes = {}, std::optional<int> bits = {})
{
    auto b = XbpBitmap::New();
    b->create();
    b->make(w, h, planes, bits);
    return b;
}

void fill(const std::shared_ptr<XbpBitmap>& b, const Rect& r, RGB c)
{
    auto ps = XbpPresSpace::New();
    auto keep = b->presSpace();
    b->presSpace(ps);
    GraGradient(*ps, {r[0], r[1]}, {{r[2], r[3]}}, {GraMakeRGBColor(c)}, 0);
    b->presSpace(keep);
}

std::uint32_t px(const std::shared_ptr<XbpBitmap>& b, int x, int y) { return test::pixel(b, x, y); }
}  // namespace

TEST(BMP2BMP, StretchesACopyInTheSourceFormat)
{
    const auto logo = bitmap(128, 24);
    fill(logo, {0, 0, 64, 24}, {255, 0, 0});
    fill(logo, {64, 0, 128, 24}, {0, 0, 255});
    const Pixels before = logo->pixels();

    const auto big = BMP2BMP(logo, {365, 140});
    ASSERT_NE(big, logo);
    EXPECT_EQ(big->width(), 365);
    EXPECT_EQ(big->height(), 140);
    EXPECT_EQ(big->bits(), logo->bits());
    EXPECT_EQ(big->planes(), logo->planes());
    EXPECT_EQ(px(big, 0, 0), test::rgb(255, 0, 0));
    EXPECT_EQ(px(big, 0, 139), test::rgb(255, 0, 0));
    EXPECT_EQ(px(big, 364, 0), test::rgb(0, 0, 255));
    EXPECT_EQ(px(big, 364, 139), test::rgb(0, 0, 255));
    EXPECT_TRUE(test::samePicture(logo->pixels(), before)) << "the source is not changed";
    EXPECT_NE(big->presSpace(), nullptr) << "the space stays bound to the result";

    const auto again = BMP2BMP(logo, {365, 140});
    EXPECT_NE(again, big) << "every call makes a new bitmap";
}

TEST(BMP2BMP, HeightZeroOrLessGivesTheSourceAndFormatsChooseMake)
{
    const auto logo = bitmap(128, 24);
    EXPECT_EQ(BMP2BMP(logo, {365, 0}), logo);
    EXPECT_EQ(BMP2BMP(logo, {365, -4}), logo);

    const auto zeroWide = BMP2BMP(logo, {0, 140});
    EXPECT_NE(zeroWide, logo);
    EXPECT_TRUE(zeroWide->isEmpty()) << "make was given the width 0";

    // A 1-bit, 1-plane source gets the default format.
    const auto mono = BMP2BMP(bitmap(8, 8, 1, 1), {20, 10});
    EXPECT_EQ(mono->bits(), 24);
    // 1 bit in 2 planes, and 8 bits in 1 plane, keep theirs.
    const auto planes = BMP2BMP(bitmap(8, 8, 2, 1), {20, 10});
    EXPECT_EQ(planes->bits(), 1);
    EXPECT_EQ(planes->planes(), 2);
    EXPECT_EQ(BMP2BMP(bitmap(8, 8, 1, 8), {20, 10})->bits(), 8);
    // A source without an image (a failed load) gives a blank bitmap of the size.
    const auto blank = BMP2BMP(XbpBitmap::New(), {365, 140});
    EXPECT_EQ(blank->width(), 365);
    EXPECT_EQ(px(blank, 100, 100), test::rgb(255, 255, 255));
}

TEST(ColorIcon, CapturesTheRectangleIntoTheOneBitmap)
{
    const auto [d, s] = test::hiddenSwatch({0, 0});
    auto ps = XbpPresSpace::New();
    ps->create(s->winDevice());
    GraGradient(*ps, {0, 0}, {{128, 30}}, {GraMakeRGBColor(RGB{0, 0, 0})}, 0);
    GraGradient(*ps, {10, 5}, {{30, 15}}, {GraMakeRGBColor(RGB{0, 200, 0})}, 0);
    GraGradient(*ps, {10, 5}, {{11, 6}}, {GraMakeRGBColor(RGB{255, 255, 0})}, 0);

    const auto first = ColorIcon(*s, {10, 5, 30, 15});
    EXPECT_EQ(first->width(), 20);
    EXPECT_EQ(first->height(), 10);
    EXPECT_EQ(px(first, 0, 9), test::rgb(255, 255, 0)) << "lower-left corner of the rectangle";
    EXPECT_EQ(px(first, 19, 0), test::rgb(0, 200, 0));
    EXPECT_FALSE(s->isLocked());
    ASSERT_NE(first->presSpace(), nullptr);
    EXPECT_TRUE(first->presSpace()->isDestroyed()) << "the call's own space is gone";

    GraGradient(*ps, {0, 0}, {{128, 24}}, {GraMakeRGBColor(RGB{1, 2, 3})}, 0);
    const auto second = ColorIcon(*s, {0, 0, 128, 24});
    EXPECT_EQ(second, first) << "the same object, refilled";
    EXPECT_EQ(second->width(), 128);
    EXPECT_EQ(second->height(), 24);
    EXPECT_EQ(px(second, 64, 12), test::rgb(1, 2, 3));
}

class SaveLogoFile : public test::InTempDir {};

TEST_F(SaveLogoFile, ReplacesLogoBmpWholeOrLeavesIt)
{
    const auto logo = bitmap(128, 24);
    fill(logo, {0, 0, 128, 24}, {9, 99, 199});

    EXPECT_EQ(SaveLogo(logo), Succeeded());  // no earlier file: created
    EXPECT_EQ(test::readAll("LOGO.BMP").size(), 9270);

    test::writeAll("LOGO.BMP", std::string(100000, 'o'));
    EXPECT_EQ(SaveLogo(logo), Succeeded());
    XbpBitmap back;
    ASSERT_EQ(back.loadFile("LOGO.BMP"), Succeeded());
    EXPECT_EQ(back.width(), 128);
    EXPECT_EQ(test::readAll("LOGO.BMP").size(), 9270) << "nothing of the old file is left";
    EXPECT_EQ(test::pixel(back, 5, 5), test::rgb(9, 99, 199));

    // No logo made in this run: the earlier file stays as it was.
    test::writeAll("LOGO.BMP", "earlier logo");
    EXPECT_EQ(SaveLogo(nullptr), Succeeded());
    EXPECT_EQ(test::readAll("LOGO.BMP"), "earlier logo");
    EXPECT_EQ(test::filesHere(), std::vector<std::string>{"LOGO.BMP"}) << "no temporary file left";
}
