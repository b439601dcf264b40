// SIGINT and SIGTERM become the quit event, even while a modal dialog runs.
#include <csignal>
#include <gtest/gtest.h>

#include "AppEvents.h"
#include "AppWindows.h"
#include "TestSupport.h"

using namespace rt;

namespace {
long fetch()
{
    MsgParam mp1, mp2;
    std::shared_ptr<XbpWindow> w;
    return AppEvent(mp1, mp2, w);
}
}  // namespace

class Signals : public testing::Test {
protected:
    void SetUp() override { ClearAppEvents(); }
    void TearDown() override { ClearAppEvents(); }
};

TEST_F(Signals, QueueTheQuitEvent)
{
    std::raise(SIGTERM);
    EXPECT_EQ(fetch(), EVENT_QUIT);
    std::raise(SIGINT);
    EXPECT_EQ(fetch(), 1048633);
}

TEST_F(Signals, DuringAModalDialogCancelItAndStillQuit)
{
    test::whenModal([] { std::raise(SIGTERM); });
    MsgBox("Waiting");  // closed by the quit request, not by anybody's answer
    EXPECT_EQ(fetch(), EVENT_SETFOCUS) << "the event a dialog's caller may take";
    EXPECT_EQ(fetch(), EVENT_QUIT);
    EXPECT_EQ(PendingAppEvents(), 0u);
}
