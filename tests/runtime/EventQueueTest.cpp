#include <gtest/gtest.h>
#include <stdexcept>

#include "AppEvents.h"
#include "AppWindows.h"
#include "TestSupport.h"
#include "XbpDialog.h"
#include "XbpPushButton.h"

using namespace rt;

namespace {
struct Fetched {
    long code;
    std::shared_ptr<XbpWindow> window;
};
Fetched fetch()
{
    MsgParam mp1, mp2;
    std::shared_ptr<XbpWindow> w;
    const long code = AppEvent(mp1, mp2, w);
    return {code, w};
}

std::shared_ptr<XbpDialog> makeDialog()
{
    auto d = std::make_shared<XbpDialog>();
    d->init(AppDesktop(), nullptr, Pos{0, 0}, Size{200, 100});
    d->title = "Queue test";
    d->create();
    return d;
}
}  // namespace

class EventQueue : public testing::Test {
protected:
    void SetUp() override { ClearAppEvents(); }
    void TearDown() override { ClearAppEvents(); }
};

TEST_F(EventQueue, FirstInFirstOutWithAddressesAndParameters)
{
    const auto d = makeDialog();
    PostAppEvent(100);
    PostAppEvent(101, 7, 8, d);
    PostAppEvent(102);
    MsgParam mp1, mp2;
    std::shared_ptr<XbpWindow> w = d;
    EXPECT_EQ(AppEvent(mp1, mp2, w), 100);
    EXPECT_EQ(w, nullptr);
    EXPECT_EQ(mp1, std::nullopt);
    EXPECT_EQ(AppEvent(mp1, mp2, w), 101);
    EXPECT_EQ(w, d);
    EXPECT_EQ(mp1, 7);
    EXPECT_EQ(mp2, 8);
    EXPECT_EQ(AppEvent(mp1, mp2, w), 102);
    EXPECT_EQ(PendingAppEvents(), 0u);

    // A window that is gone by the time its event is fetched is reported as none.
    auto gone = makeDialog();
    PostAppEvent(103, {}, {}, gone);
    gone.reset();
    EXPECT_EQ(fetch().window, nullptr);
}

TEST_F(EventQueue, AppEventWaitsForThePlatformsInput)
{
    const auto d = makeDialog();
    auto b = XbpPushButton::New(d->drawingArea, nullptr, Pos{4, 4}, Size{80, 30});
    b->caption = "Press";
    b->tabStop = true;
    b->create();
    d->show();
    bool clicked = false;
    const auto clicker = test::everyFewMilliseconds([&] {
        if (!clicked)
            test::click(*b);
        clicked = true;
    });
    const Fetched f = fetch();
    EXPECT_EQ(f.code, EVENT_ACTIVATE);
    EXPECT_EQ(f.window, b);
}

TEST_F(EventQueue, ButtonPressQueuesActivateAndDispatchRunsTheAction)
{
    const auto d = makeDialog();
    auto b = XbpPushButton::New(d->drawingArea, nullptr, Pos{4, 4}, Size{80, 30});
    int runs = 0;
    b->activate = [&runs] { ++runs; };
    b->tabStop = true;
    b->create();
    d->show();

    test::click(*b);
    EXPECT_EQ(runs, 0) << "a press only queues; the dispatch runs the action";
    const Fetched f = fetch();
    ASSERT_EQ(f.window, b);
    f.window->handleEvent(f.code, {}, {});
    EXPECT_EQ(runs, 1);

    // The keyboard presses it too.
    SetAppFocus(b);
    test::pressSpace(*b);
    EXPECT_EQ(fetch().code, EVENT_ACTIVATE);

    // An event without an action does nothing.
    b->handleEvent(EVENT_SETFOCUS, {}, {});
    EXPECT_EQ(runs, 1);
}

TEST_F(EventQueue, CloseRequestBecomesCloseEventAndEscapeClosesNothing)
{
    const auto d = makeDialog();
    int closes = 0;
    d->close = [&closes] { ++closes; };
    d->show();

    test::requestClose(*d);
    EXPECT_TRUE(test::shown(*d)) << "the platform must not close the window itself";
    const Fetched f = fetch();
    EXPECT_EQ(f.code, EVENT_CLOSE);
    EXPECT_EQ(f.code, 1048632);
    ASSERT_EQ(f.window, d);
    f.window->handleEvent(f.code, {}, {});
    EXPECT_EQ(closes, 1);

    test::pressEscape(*d);
    test::processEvents();
    EXPECT_TRUE(test::shown(*d));
    EXPECT_EQ(PendingAppEvents(), 0u);
}

TEST_F(EventQueue, ModalDialogLeavesOneFocusEventForTheWindowThatGetsFocusBack)
{
    const auto d = makeDialog();
    auto b = XbpPushButton::New(d->drawingArea, nullptr, Pos{4, 4}, Size{80, 30});
    b->tabStop = true;
    b->create();
    d->show();
    SetAppWindow(d);
    ASSERT_TRUE(test::activate(*d));
    SetAppFocus(b);

    const auto seen = test::answerMessageBox();
    MsgBox("Hello");
    EXPECT_EQ(seen->text, "Hello");
    EXPECT_EQ(seen->title, "Gradient Logo");
    ASSERT_EQ(PendingAppEvents(), 1u);
    const Fetched f = fetch();
    EXPECT_EQ(f.code, EVENT_SETFOCUS);
    EXPECT_EQ(f.window, b);
    SetAppWindow(nullptr);
}

TEST_F(EventQueue, ErrorEscapingAnActionIsReportedAndSurvived)
{
    const auto d = makeDialog();
    d->close = [] { throw std::runtime_error("boom"); };
    const auto seen = test::answerMessageBox();
    testing::internal::CaptureStderr();
    EXPECT_NO_THROW(d->handleEvent(EVENT_CLOSE, {}, {}));
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("boom"), std::string::npos);
    EXPECT_NE(seen->text.find("boom"), std::string::npos);
    ClearAppEvents();
}

TEST(Quit, EndsTheProcessAtOnceWithStatusZero)
{
    EXPECT_EXIT(QUIT(), testing::ExitedWithCode(0), "");
}
