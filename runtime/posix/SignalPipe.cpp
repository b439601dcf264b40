#include "SignalPipe.h"

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace rt {

namespace {
int signalPipe[2] = {-1, -1};

// Only async-signal-safe work here: one byte into the pipe.
void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &byte, 1);
}
}  // namespace

int OpenSignalPipe()
{
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return -1;
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    return signalPipe[0];
}

void DrainSignalPipe()
{
    char buf[16];
    while (::read(signalPipe[0], buf, sizeof buf) > 0) {
    }
}

void CloseSignalPipe()
{
    signal(SIGINT, SIG_DFL);
    signal(SIGTERM, SIG_DFL);
    for (int& fd : signalPipe) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

}  // namespace rt
