#include <QApplication>
#include <QIcon>
#include <QPushButton>
#include <QTimer>
#include <cerrno>
#include <cstring>
#include <deque>
#include <sys/mount.h>
#include <gtest/gtest.h>

#include "AppEvents.h"
#include "AppWindows.h"
#include "GraDialog.h"
#include "Gra.h"
#include "Main.h"
#include "XbpPresSpace.h"
#include "System.h"
#include "TestSupport.h"

using namespace rt;

namespace {
// Drives the running program step by step from its own event loop. A step
// returns false while what it waits for has not happened yet.
class Script {
public:
    using Step = std::function<bool()>;
    explicit Script(std::vector<Step> steps) : steps_(steps.begin(), steps.end())
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (!steps_.empty() && steps_.front()())
                steps_.pop_front();
        });
        timer_.start(5);
    }
    bool finished() const { return steps_.empty(); }

private:
    std::deque<Step> steps_;
    QTimer timer_;
};

QWidget* mainWindow()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->windowTitle() == "Gradient Logo" && !qobject_cast<QDialog*>(w))
            return w;
    return nullptr;
}

QPushButton* button(const QString& text)
{
    QWidget* w = mainWindow();
    if (!w)
        return nullptr;
    for (auto* b : w->findChildren<QPushButton*>())
        if (b->text() == text)
            return b;
    return nullptr;
}

GraDialog* app()
{
    return dynamic_cast<GraDialog*>(XbpWindow::fromWidget(mainWindow()));
}

Script::Step press(const QString& text)
{
    return [text] {
        QPushButton* b = button(text);
        if (!b || QApplication::activeModalWidget())
            return false;
        b->click();
        return true;
    };
}

Script::Step pressAnsweringColour(const QString& text, QColor c)
{
    return [text, c] {
        if (!button(text) || QApplication::activeModalWidget())
            return false;
        test::answerColorDialog(c);
        return press(text)();
    };
}

Script::Step waitFocus(const QString& text)
{
    return [text] { return button(text) && mainWindow()->focusWidget() == button(text); };
}

Script::Step answerMessage(std::shared_ptr<QString> text)
{
    return [text] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return false;
        *text = box->text();
        box->accept();
        return true;
    };
}

const QByteArray kRedBlue("\r\nColor 1 : {255,000,000}\r\nColor 2 : {000,000,255}");

// Colour 1 red, colour 2 blue, Make Logo: the focus ends on Ok Logo.
std::vector<Script::Step> redBlueLogo()
{
    return {waitFocus("Color 1"), pressAnsweringColour("Color 1", QColor(255, 0, 0)),
            waitFocus("Color 2"), pressAnsweringColour("Color 2", QColor(0, 0, 255)),
            waitFocus("Make Logo"), press("Make Logo"), waitFocus("Ok Logo")};
}

std::vector<Script::Step> operator+(std::vector<Script::Step> a, const std::vector<Script::Step>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
}  // namespace

class MainRun : public test::InTempDir {};

TEST_F(MainRun, TypicalRunWritesBothFilesAndEnds)
{
    Script script(redBlueLogo() + std::vector<Script::Step>{
        [] {
            EXPECT_FALSE(mainWindow()->windowIcon().isNull());
            const QImage icon(":/icon/1");  // icon resource 1: 32 x 32, 16 colours
            EXPECT_EQ(icon.size(), QSize(32, 32));
            EXPECT_LE(icon.colorCount(), 16);
            return true;
        },
        [] { return app()->oStat0->widget()->isVisible() && app()->drawingArea->bitmap; },
        press("Ok Logo"),
    });
    MAIN();
    EXPECT_TRUE(script.finished());
    EXPECT_EQ(test::readAll("LOGO.TXT"), kRedBlue);
    XbpBitmap logo;
    ASSERT_EQ(logo.loadFile("LOGO.BMP"), std::nullopt);
    EXPECT_EQ(logo.width(), 128);
    EXPECT_EQ(logo.height(), 24);
    EXPECT_EQ(logo.image().pixel(0, 0) | 0xFF000000, qRgb(255, 0, 0));
    EXPECT_EQ(logo.image().pixel(127, 23) | 0xFF000000, qRgb(0, 0, 255));

    // Byte for byte the file of the computed gradient, whatever the screen's scale.
    auto expected = XbpBitmap::New();
    expected->make(128, 24);
    auto ps = XbpPresSpace::New();
    expected->presSpace(ps);
    GraGradient(*ps, {0, 0}, {{128, 24}},
                {GraMakeRGBColor(RGB{255, 0, 0}), GraMakeRGBColor(RGB{0, 0, 255})}, 0);
    ASSERT_EQ(expected->saveFile("EXPECTED.BMP"), std::nullopt);
    EXPECT_EQ(test::readAll("LOGO.BMP"), test::readAll("EXPECTED.BMP"));
}

TEST_F(MainRun, FocusMovesOnWhateverTheOperationDidAndTheCloseBoxEnds)
{
    const auto message = std::make_shared<QString>();
    Script script({
        waitFocus("Color 1"),
        pressAnsweringColour("Color 1", QColor()),  // cancelled
        waitFocus("Color 2"),
        pressAnsweringColour("Color 2", QColor()),
        waitFocus("Make Logo"),
        press("Make Logo"),
        answerMessage(message),
        waitFocus("Ok Logo"),
        [] { return mainWindow()->close() || true; },
    });
    MAIN();
    EXPECT_TRUE(script.finished());
    EXPECT_EQ(*message, "Color1 and Color2 missing");
    EXPECT_FALSE(File("LOGO.TXT")) << "the close box writes nothing";
    EXPECT_FALSE(File("LOGO.BMP"));
}

TEST_F(MainRun, OkLogoBeforeAnyLogoKeepsTheEarlierLogoBmp)
{
    test::writeAll("LOGO.BMP", "the logo of an earlier run");
    Script script({
        waitFocus("Color 1"),
        pressAnsweringColour("Color 1", QColor(255, 0, 0)),
        waitFocus("Color 2"),
        press("Ok Logo"),
    });
    MAIN();
    EXPECT_TRUE(script.finished());
    EXPECT_EQ(test::readAll("LOGO.BMP"), "the logo of an earlier run");
    EXPECT_EQ(test::readAll("LOGO.TXT"), QByteArray("\r\nColor 1 : {255,000,000}\r\nColor 2 : {000,000,000}"));
}

TEST_F(MainRun, AFailedWriteIsReportedTheWindowStaysOpenAndNeitherFileChanges)
{
    ASSERT_TRUE(QDir().mkdir("LOGO.TXT"));
    ASSERT_TRUE(QDir().mkdir("LOGO.BMP"));
    const auto first = std::make_shared<QString>();
    const auto second = std::make_shared<QString>();
    const auto stillOpen = [] { return mainWindow() && app()->oLogo; };
    Script script(redBlueLogo() + std::vector<Script::Step>{
        press("Ok Logo"),
        answerMessage(first),
        [&] {
            // The colour log failed, so the logo was not even tried.
            if (!stillOpen() || !QFileInfo("LOGO.BMP").isDir())
                return false;
            return QDir().rmdir("LOGO.TXT");
        },
        press("Ok Logo"),
        answerMessage(second),
        // Neither file changes when one of them cannot be saved.
        [&] { return stillOpen() && !QFileInfo::exists("LOGO.TXT") && QDir().rmdir("LOGO.BMP"); },
        press("Ok Logo"),
    });
    MAIN();
    EXPECT_TRUE(script.finished());
    EXPECT_TRUE(first->contains("LOGO.TXT")) << first->toStdString();
    EXPECT_FALSE(first->contains("LOGO.BMP")) << first->toStdString();
    EXPECT_TRUE(second->contains("LOGO.BMP")) << second->toStdString();
    EXPECT_FALSE(second->contains("LOGO.TXT")) << second->toStdString();
    EXPECT_EQ(test::readAll("LOGO.TXT"), kRedBlue);
    EXPECT_EQ(test::readAll("LOGO.BMP").size(), 9270);
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

// A disk that fills up and one that turns read-only, for real: a small tmpfs of
// the test's own (the tests run as root). The message names the file and the
// system's reason, and once the disk is fine again Ok Logo saves.
TEST_F(MainRun, AFullOrReadOnlyDiskIsNamedWithTheFileAndTheSystemsReason)
{
    ASSERT_TRUE(QDir().mkdir("small"));
    // Five pages: the old files below take four, so the colour log fits and the logo does not.
    ASSERT_EQ(::mount("tmpfs", "small", "tmpfs", 0, "size=20k"), 0)
        << "cannot mount a tmpfs (the test needs root): " << std::strerror(errno);
    QDir::setCurrent("small");
    const QByteArray oldLog(50, 'l'), oldLogo(9270, 'o');
    test::writeAll("LOGO.TXT", oldLog);
    test::writeAll("LOGO.BMP", oldLogo);
    const auto full = std::make_shared<QString>();
    const auto readOnly = std::make_shared<QString>();
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
        [&] { return test::readAll("LOGO.BMP") == oldLogo && test::readAll("LOGO.TXT") == oldLog; },
        remount("size=1m"),
        remount("ro"),
        press("Ok Logo"),
        answerMessage(readOnly),
        remount("rw"),
        press("Ok Logo"),
    });
    MAIN();
    const QByteArray savedLogo = test::readAll("LOGO.BMP");
    const QByteArray savedLog = test::readAll("LOGO.TXT");
    QDir::setCurrent("..");
    ASSERT_EQ(::umount2("small", MNT_DETACH), 0);
    EXPECT_TRUE(script.finished());
    EXPECT_EQ(*full, QString("The logo could not be saved.\nLOGO.BMP: ") + std::strerror(ENOSPC));
    EXPECT_EQ(*readOnly, QString("The logo could not be saved.\nLOGO.TXT: ") + std::strerror(EROFS));
    EXPECT_EQ(savedLog, kRedBlue);
    EXPECT_EQ(savedLogo.size(), 9270);
}
