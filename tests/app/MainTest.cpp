#include <gtest/gtest.h>

#include "AppEvents.h"
#include "Gra.h"
#include "Main.h"
#include "Script.h"
#include "System.h"
#include "XbpPresSpace.h"

using namespace rt;
using namespace test;
namespace fs = std::filesystem;

class MainRun : public InTempDir {};

TEST_F(MainRun, TypicalRunWritesBothFilesAndEnds)
{
    Script script(redBlueLogo() + std::vector<Script::Step>{
        [] { return shown(*app()->oStat0) && app()->drawingArea->bitmap; },
        press("Ok Logo"),
    });
    MAIN();
    EXPECT_TRUE(script.finished());
    EXPECT_EQ(readAll("LOGO.TXT"), kRedBlue);
    XbpBitmap logo;
    ASSERT_EQ(logo.loadFile("LOGO.BMP"), Succeeded());
    EXPECT_EQ(logo.width(), 128);
    EXPECT_EQ(logo.height(), 24);
    EXPECT_EQ(pixel(logo, 0, 0), rgb(255, 0, 0));
    EXPECT_EQ(pixel(logo, 127, 23), rgb(0, 0, 255));

    // Byte for byte the file of the computed gradient, whatever the screen's scale.
    ASSERT_EQ(gradientLogo({255, 0, 0}, {0, 0, 255})->saveFile("EXPECTED.BMP"), Succeeded());
    EXPECT_EQ(readAll("LOGO.BMP"), readAll("EXPECTED.BMP"));
}

TEST_F(MainRun, FocusMovesOnWhateverTheOperationDidAndTheCloseBoxEnds)
{
    const auto message = std::make_shared<std::string>();
    Script script({
        waitFocus("Color 1"),
        pressAnsweringColour("Color 1", std::nullopt),  // cancelled
        waitFocus("Color 2"),
        pressAnsweringColour("Color 2", std::nullopt),
        waitFocus("Make Logo"),
        press("Make Logo"),
        answerMessage(message),
        waitFocus("Ok Logo"),
        [] {
            requestClose(*app());
            return true;
        },
    });
    MAIN();
    EXPECT_TRUE(script.finished());
    EXPECT_EQ(*message, "Color1 and Color2 missing");
    EXPECT_FALSE(File("LOGO.TXT")) << "the close box writes nothing";
    EXPECT_FALSE(File("LOGO.BMP"));
}

TEST_F(MainRun, OkLogoBeforeAnyLogoKeepsTheEarlierLogoBmp)
{
    writeAll("LOGO.BMP", "the logo of an earlier run");
    Script script({
        waitFocus("Color 1"),
        pressAnsweringColour("Color 1", RGB{255, 0, 0}),
        waitFocus("Color 2"),
        press("Ok Logo"),
    });
    MAIN();
    EXPECT_TRUE(script.finished());
    EXPECT_EQ(readAll("LOGO.BMP"), "the logo of an earlier run");
    EXPECT_EQ(readAll("LOGO.TXT"), test::logoTxt({255, 0, 0}, {0, 0, 0}));
}

TEST_F(MainRun, AFailedWriteIsReportedTheWindowStaysOpenAndNeitherFileChanges)
{
    ASSERT_TRUE(fs::create_directory("LOGO.TXT"));
    ASSERT_TRUE(fs::create_directory("LOGO.BMP"));
    const auto first = std::make_shared<std::string>();
    const auto second = std::make_shared<std::string>();
    const auto stillOpen = [] { return app() && app()->oLogo; };
    Script script(redBlueLogo() + std::vector<Script::Step>{
        press("Ok Logo"),
        answerMessage(first),
        [&] {
            // The colour log failed, so the logo was not even tried.
            if (!stillOpen() || !fs::is_directory("LOGO.BMP"))
                return false;
            return fs::remove("LOGO.TXT");
        },
        press("Ok Logo"),
        answerMessage(second),
        // Neither file changes when one of them cannot be saved.
        [&] { return stillOpen() && !fs::exists("LOGO.TXT") && fs::remove("LOGO.BMP"); },
        press("Ok Logo"),
    });
    MAIN();
    EXPECT_TRUE(script.finished());
    EXPECT_NE(first->find("LOGO.TXT"), std::string::npos) << *first;
    EXPECT_EQ(first->find("LOGO.BMP"), std::string::npos) << *first;
    EXPECT_NE(second->find("LOGO.BMP"), std::string::npos) << *second;
    EXPECT_EQ(second->find("LOGO.TXT"), std::string::npos) << *second;
    EXPECT_EQ(readAll("LOGO.TXT"), kRedBlue);
    EXPECT_EQ(readAll("LOGO.BMP").size(), 9270u);
}

TEST_F(MainRun, QuitEventEndsTheProgramAtOnce)
{
    EXPECT_EXIT(
        {
            Script script({waitFocus("Color 1"), [] { return PostAppEvent(EVENT_QUIT); }});
            MAIN();
            std::exit(3);  // MAIN must not return
        },
        testing::ExitedWithCode(0), "");
}
