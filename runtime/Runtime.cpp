#include "Runtime.h"

#include <QApplication>
#include <QSocketNotifier>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

#include "AppWindows.h"

namespace rt {

namespace {
int signalPipe[2] = {-1, -1};

// Only async-signal-safe work here: one byte into the pipe.
void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &byte, 1);
}

bool envSet(const char* name)
{
    const char* v = std::getenv(name);
    return v && *v;
}
}  // namespace

struct Runtime::Impl {
    int argc = 1;
    char* argv[2];
    std::string argv0;
    std::unique_ptr<QApplication> app;
    std::unique_ptr<QSocketNotifier> notifier;
};

Runtime::Runtime(const char* argv0, const std::string& displayName) : d(std::make_unique<Impl>())
{
    d->argv0 = argv0 ? argv0 : "gradient-logo";
    d->argv[0] = d->argv0.data();
    d->argv[1] = nullptr;
    d->app = std::make_unique<QApplication>(d->argc, d->argv);
    QGuiApplication::setApplicationDisplayName(QString::fromStdString(displayName));

    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) == 0) {
        d->notifier = std::make_unique<QSocketNotifier>(signalPipe[0], QSocketNotifier::Read);
        QObject::connect(d->notifier.get(), &QSocketNotifier::activated, [] {
            char buf[16];
            while (::read(signalPipe[0], buf, sizeof buf) > 0) {
            }
            RequestQuit();
        });
        struct sigaction sa {};
        sa.sa_handler = onSignal;
        sigemptyset(&sa.sa_mask);
        sa.sa_flags = SA_RESTART;
        sigaction(SIGINT, &sa, nullptr);
        sigaction(SIGTERM, &sa, nullptr);
    }
}

Runtime::~Runtime()
{
    signal(SIGINT, SIG_DFL);
    signal(SIGTERM, SIG_DFL);
    d->notifier.reset();
    for (int& fd : signalPipe) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

std::optional<std::string> Runtime::NoDisplayReason()
{
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    const bool wantsX = !platform || !*platform || std::string(platform).rfind("xcb", 0) == 0;
    if (wantsX && !envSet("DISPLAY") && !envSet("WAYLAND_DISPLAY"))
        return "no display found (DISPLAY is not set): start it in a desktop session, "
               "or without one as: xvfb-run -a ";
    return std::nullopt;
}

}  // namespace rt
