#include <gtest/gtest.h>

#include "AppWindows.h"
#include "TestSupport.h"
#include "Gra.h"
#include "XbpBitmap.h"
#include "XbpDialog.h"
#include "XbpPresSpace.h"
#include "XbpStatic.h"
#include "Misuse.h"

using namespace rt;

namespace {
std::optional<ColorNumber> rgb(int r, int g, int b) { return GraMakeRGBColor(RGB{r, g, b}); }

using test::canvas;

std::uint32_t at(const XbpBitmap& b, int x, int yFromTop) { return test::pixel(b, x, yFromTop); }
}  // namespace

TEST(Gradient, EndColumnsExactAndColumnsBetweenInterpolated)
{
    auto [bmp, ps] = canvas(128, 24);
    GraGradient(*ps, {0, 0}, {{128, 24}}, {rgb(255, 0, 0), rgb(0, 0, 255)}, 0);
    for (int y = 0; y < 24; ++y) {
        EXPECT_EQ(at(*bmp, 0, y), test::rgb(255, 0, 0));
        EXPECT_EQ(at(*bmp, 127, y), test::rgb(0, 0, 255));
        EXPECT_EQ(at(*bmp, 64, y), at(*bmp, 64, 0)) << "every row alike";
    }
    // Column 64: 255 * 63/127 = 126.496 -> 126 red, 128.504 -> 129 blue.
    EXPECT_EQ(at(*bmp, 64, 5), test::rgb(126, 0, 129));
    // Monotonic along the bar.
    for (int x = 1; x < 128; ++x)
        EXPECT_LE(test::red(at(*bmp, x, 0)), test::red(at(*bmp, x - 1, 0)));

    auto [other, ps2] = canvas(128, 24);
    GraGradient(*ps2, {0, 0}, {{128, 24}}, {rgb(10, 200, 30), rgb(250, 7, 99)}, 0);
    EXPECT_EQ(at(*other, 0, 0), test::rgb(10, 200, 30));
    EXPECT_EQ(at(*other, 127, 0), test::rgb(250, 7, 99));
    // (10*(127-40) + 250*40) / 127 = 85.59 -> 86
    EXPECT_EQ(test::red(at(*other, 40, 0)), 86);
}

TEST(Gradient, EqualColoursUniformAndOnlyTheRectangleIsFilled)
{
    auto [bmp, ps] = canvas(40, 30);
    GraGradient(*ps, {0, 0}, {{20, 10}}, {rgb(1, 2, 3), rgb(1, 2, 3)}, 0);
    // Lower-left origin: the bar takes the bottom 10 rows (rows 20..29 from the top), x 0..19.
    for (int y = 20; y < 30; ++y)
        for (int x = 0; x < 20; ++x)
            ASSERT_EQ(at(*bmp, x, y), test::rgb(1, 2, 3)) << x << "," << y;
    EXPECT_EQ(at(*bmp, 20, 25), test::rgb(255, 255, 255)) << "far edge exclusive";
    EXPECT_EQ(at(*bmp, 5, 19), test::rgb(255, 255, 255)) << "far edge exclusive";

    EXPECT_THROW(GraGradient(*ps, {0, 0}, {{20, 10}}, {rgb(1, 2, 3), std::nullopt}, 0), Misuse);
    EXPECT_THROW(GraGradient(*ps, {0, 0}, {{20, 10}}, {rgb(1, 2, 3)}, 1), Misuse);
}

TEST(BitBlt, CopiesLowerLeftSubRectangleAndScales)
{
    auto [src, srcPS] = canvas(40, 30);
    // Mark the source rectangle (10,5)-(30,15): a red bar from x 10 to 30, y 5 to 15.
    GraGradient(*srcPS, {10, 5}, {{30, 15}}, {rgb(255, 0, 0), rgb(255, 0, 0)}, 0);
    GraGradient(*srcPS, {10, 5}, {{11, 6}}, {rgb(0, 255, 0)}, 0);  // its lower-left pixel

    auto [dst, dstPS] = canvas(20, 10);
    GraBitBlt(*dstPS, *srcPS, {0, 0, 20, 10}, {10, 5, 30, 15});
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x) {
            const std::uint32_t want = (x == 0 && y == 9) ? test::rgb(0, 255, 0) : test::rgb(255, 0, 0);
            ASSERT_EQ(at(*dst, x, y), want) << x << "," << y;
        }

    // Different sizes scale: 20 x 10 into 40 x 20.
    auto [big, bigPS] = canvas(40, 20);
    GraBitBlt(*bigPS, *dstPS, {0, 0, 40, 20}, {0, 0, 20, 10});
    EXPECT_EQ(at(*big, 1, 19), test::rgb(0, 255, 0));
    EXPECT_EQ(at(*big, 2, 17), test::rgb(255, 0, 0));
}

TEST(Capture, WindowPictureReadsBackInLogicalPixels)
{
    const auto [d, s] = test::hiddenSwatch({10, 10});

    // Drawn while neither the window nor the static is on screen.
    auto ps = XbpPresSpace::New();
    ps->create(s->winDevice());
    GraGradient(*ps, {0, 0}, {{128, 24}}, {rgb(255, 0, 0), rgb(0, 0, 255)}, 0);

    auto lock = s->lockPS();
    EXPECT_TRUE(s->isLocked());
    auto [out, outPS] = canvas(128, 24);
    GraBitBlt(*outPS, *lock, {0, 0, 128, 24}, {0, 0, 128, 24});
    s->unlockPS(lock);
    EXPECT_FALSE(s->isLocked());
    EXPECT_EQ(out->width(), 128);
    EXPECT_EQ(out->height(), 24);
    for (int y = 0; y < 24; ++y) {
        ASSERT_EQ(at(*out, 0, y), test::rgb(255, 0, 0));
        ASSERT_EQ(at(*out, 127, y), test::rgb(0, 0, 255));
    }
    EXPECT_EQ(at(*out, 64, 0), test::rgb(126, 0, 129));
}
