#include <iostream>

#include "Main.h"
#include "Runtime.h"

int main(int, char** argv)
{
    if (const auto reason = rt::Runtime::NoDisplayReason()) {
        std::cerr << "gradient-logo: " << *reason << argv[0] << '\n';
        return 1;
    }
    rt::Runtime runtime(argv[0], "Gradient Logo");
    APPSYS();
    MAIN();
    return 0;
}
