#include <string>
#include <vector>

#include "CommandLine.h"
#include "Main.h"
#include "Runtime.h"
#include "SaveTogether.h"

int main(int argc, char** argv)
{
    // A script's options run without the window, and start no platform.
    if (const std::optional<int> status = CommandLine(argv[0], std::vector<std::string>(argv + 1, argv + argc)))
        return *status;
    // A save that a power loss or a kill cut short is finished before the logo is read.
    rt::FinishCutSave("LOGO.TXT");
    rt::Runtime runtime(argv[0], "Gradient Logo", "io.gradientlogo.gradientlogo");
    APPSYS();
    MAIN();
    return 0;
}
