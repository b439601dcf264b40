#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/mount.h>

#include "Main.h"
#include "Script.h"

using namespace rt;
using namespace test;
namespace fs = std::filesystem;

class MainRunOnASmallDisk : public InTempDir {};

// A disk that fills up and one that turns read-only, for real: a small tmpfs of
// the test's own (the tests run as root). The message names the file and the
// system's reason, and once the disk is fine again Ok Logo saves.
TEST_F(MainRunOnASmallDisk, AFullOrReadOnlyDiskIsNamedWithTheFileAndTheSystemsReason)
{
    ASSERT_TRUE(fs::create_directory("small"));
    // Five pages: the old files below take four, so the colour log fits and the logo does not.
    ASSERT_EQ(::mount("tmpfs", "small", "tmpfs", 0, "size=20k"), 0)
        << "cannot mount a tmpfs (the test needs root): " << std::strerror(errno);
    fs::current_path("small");
    const std::string oldLog(50, 'l'), oldLogo(9270, 'o');
    writeAll("LOGO.TXT", oldLog);
    writeAll("LOGO.BMP", oldLogo);
    const auto full = std::make_shared<std::string>();
    const auto readOnly = std::make_shared<std::string>();
    const auto remount = [](const char* options) {
        return [options] {
            unsigned long ro = 0;
            if (std::strcmp(options, "ro") == 0)
                ro = MS_RDONLY;
            return ::mount("tmpfs", ".", "tmpfs", MS_REMOUNT | ro, options) == 0;
        };
    };
    Script script(redBlueLogo() + std::vector<Script::Step>{
        press("Ok Logo"),
        answerMessage(full),
        [&] { return readAll("LOGO.BMP") == oldLogo && readAll("LOGO.TXT") == oldLog; },
        remount("size=1m"),
        remount("ro"),
        press("Ok Logo"),
        answerMessage(readOnly),
        remount("rw"),
        press("Ok Logo"),
    });
    MAIN();
    const std::string savedLogo = readAll("LOGO.BMP");
    const std::string savedLog = readAll("LOGO.TXT");
    fs::current_path("..");
    ASSERT_EQ(::umount2("small", MNT_DETACH), 0);
    EXPECT_TRUE(script.finished());
    EXPECT_EQ(*full, std::string("The logo could not be saved.\nLOGO.BMP: ") + std::strerror(ENOSPC));
    EXPECT_EQ(*readOnly, std::string("The logo could not be saved.\nLOGO.TXT: ") + std::strerror(EROFS));
    EXPECT_EQ(savedLog, kRedBlue);
    EXPECT_EQ(savedLogo.size(), 9270u);
}
