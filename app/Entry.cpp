#include "Main.h"
#include "Runtime.h"

int main(int, char** argv)
{
    rt::Runtime runtime(argv[0], "Gradient Logo", "io.gradientlogo.gradientlogo");
    APPSYS();
    MAIN();
    return 0;
}
