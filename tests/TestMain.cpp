// Runs the tests inside the runtime, as the program does.
#include <gtest/gtest.h>

#include "Runtime.h"

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    rt::Runtime runtime(argv[0], "Gradient Logo");
    return RUN_ALL_TESTS();
}
