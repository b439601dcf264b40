#include <gtest/gtest.h>

#include "Gra.h"

using namespace rt;

TEST(ColorNumber, EveryColourRoundTripsAndIsAboveZero)
{
    long failures = 0;
    for (int r = 0; r < 256; ++r)
        for (int g = 0; g < 256; ++g)
            for (int b = 0; b < 256; ++b) {
                const auto n = GraMakeRGBColor(RGB{r, g, b});
                const auto back = n ? GraGetRGBIntensity(*n) : std::nullopt;
                if (!n || *n <= 0 || !back || *back != RGB{r, g, b})
                    ++failures;
            }
    EXPECT_EQ(failures, 0);
    EXPECT_GT(*GraMakeRGBColor(RGB{0, 0, 0}), 0) << "black must be a chosen colour";
}

TEST(ColorNumber, ZeroInvalidAndOutOfRange)
{
    EXPECT_EQ(GraGetRGBIntensity(0), (RGB{0, 0, 0}));
    EXPECT_EQ(GraGetRGBIntensity(-1), std::nullopt);
    EXPECT_EQ(GraGetRGBIntensity(5), std::nullopt);
    EXPECT_EQ(GraGetRGBIntensity(0x3000000), std::nullopt);
    EXPECT_EQ(GraMakeRGBColor(RGB{256, 0, 0}), std::nullopt);
    EXPECT_EQ(GraMakeRGBColor(RGB{0, -1, 0}), std::nullopt);
    EXPECT_EQ(GraMakeRGBColor(std::optional<RGB>{}), std::nullopt);
    // Distinct colours give distinct numbers.
    EXPECT_NE(GraMakeRGBColor(RGB{1, 0, 0}), GraMakeRGBColor(RGB{0, 1, 0}));
    EXPECT_NE(GraMakeRGBColor(RGB{0, 0, 1}), GraMakeRGBColor(RGB{0, 1, 0}));
}
