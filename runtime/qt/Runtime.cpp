#include "Runtime.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QSocketNotifier>
#include <QTranslator>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

#include "Accessibility.h"
#include "AppWindows.h"
#include "Modal.h"

namespace rt {

namespace {
int signalPipe[2] = {-1, -1};

// Only async-signal-safe work here: one byte into the pipe.
void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &byte, 1);
}

std::string env(const char* name)
{
    const char* v = std::getenv(name);
    return v ? v : "";
}

std::string displayName;
std::string programName;
QString heldMessages;

// Which display was asked for, in the user's terms.
std::string displayAskedFor()
{
    std::string what;
    for (const char* name : {"QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "DISPLAY"})
        if (!env(name).empty())
            what += (what.empty() ? "" : ", ") + std::string(name) + "=" + env(name);
    return what.empty() ? "DISPLAY is not set" : what;
}

// Whether something accepts a connection at the address; nothing more is asked.
bool answers(int family, const sockaddr* address, socklen_t length)
{
    const int fd = ::socket(family, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return false;
    bool ok = ::connect(fd, address, length) == 0;
    if (!ok && errno == EINPROGRESS) {
        pollfd p{fd, POLLOUT, 0};
        int error = 0;
        socklen_t size = sizeof error;
        ok = ::poll(&p, 1, 3000) == 1 &&
             ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0;
    }
    ::close(fd);
    return ok;
}

bool unixSocketAnswers(const std::string& path, bool abstract = false)
{
    sockaddr_un a{};
    a.sun_family = AF_UNIX;
    const std::size_t skip = abstract ? 1 : 0;  // an abstract name starts with a NUL
    if (path.empty() || path.size() + skip >= sizeof a.sun_path)
        return false;
    path.copy(a.sun_path + skip, path.size());
    return answers(AF_UNIX, reinterpret_cast<const sockaddr*>(&a),
                   socklen_t(offsetof(sockaddr_un, sun_path) + skip + path.size()));
}

// An X server at DISPLAY ([host]:number[.screen]): its local socket, or TCP.
bool xDisplayAnswers()
{
    const std::string display = env("DISPLAY");
    const std::size_t colon = display.rfind(':');
    if (colon == std::string::npos)
        return false;
    const std::string host = display.substr(0, colon);
    const std::string number = display.substr(colon + 1, display.find('.', colon) - colon - 1);
    if (number.empty() || number.size() > 4 || number.find_first_not_of("0123456789") != std::string::npos)
        return false;
    if (host.empty() || host == "unix") {
        const std::string path = "/tmp/.X11-unix/X" + number;
        return unixSocketAnswers(path) || unixSocketAnswers(path, true);
    }
    if (host.front() == '/')
        return unixSocketAnswers(host);
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host.c_str(), std::to_string(6000 + std::stoi(number)).c_str(), &hints, &found) != 0)
        return false;
    bool ok = false;
    for (const addrinfo* a = found; a && !ok; a = a->ai_next)
        ok = answers(a->ai_family, a->ai_addr, a->ai_addrlen);
    ::freeaddrinfo(found);
    return ok;
}

bool waylandAnswers()
{
    if (!env("WAYLAND_SOCKET").empty())  // a connection handed over already
        return true;
    const std::string name = env("WAYLAND_DISPLAY").empty() ? "wayland-0" : env("WAYLAND_DISPLAY");
    if (name.front() == '/')
        return unixSocketAnswers(name);
    return !env("XDG_RUNTIME_DIR").empty() && unixSocketAnswers(env("XDG_RUNTIME_DIR") + "/" + name);
}

// Qt failed to start: was it for want of a display? Only when every platform
// it could have used shows on a display, and none of those displays answers.
// Any other cause (a missing plugin, a refused connection) is Qt's to name.
bool noDisplayAnswers()
{
    std::vector<std::string> platforms;
    std::string list = env("QT_QPA_PLATFORM");
    if (list.empty())
        list = "xcb;wayland";  // whichever Qt would pick of the two
    for (std::size_t at = 0; at <= list.size();) {
        const std::size_t end = std::min(list.find(';', at), list.size());
        const std::string entry = list.substr(at, end - at);
        platforms.push_back(entry.substr(0, entry.find(':')));
        at = end + 1;
    }
    for (const std::string& platform : platforms) {
        if (platform == "xcb") {
            if (xDisplayAnswers())
                return false;
        } else if (platform.rfind("wayland", 0) == 0) {
            if (waylandAnswers())
                return false;
        } else {
            return false;
        }
    }
    return true;
}

// Text of several lines as one line.
std::string oneLine(const QString& text)
{
    return text.simplified().toLocal8Bit().toStdString();
}

// While Qt connects to the display, its messages are held back: when no
// display answers, Qt ends with a fatal error (an abort, a core dump and the
// advice to reinstall); the user gets one line that says what to do instead.
// Any other fatal error is said as Qt said it, in one line.
void whileConnecting(QtMsgType type, const QMessageLogContext& context, const QString& msg)
{
    if (type != QtFatalMsg) {
        heldMessages += qFormatLogMessage(type, context, msg) + u'\n';
        return;
    }
    const std::string base = programName.substr(programName.rfind('/') + 1);
    const std::string line =
        noDisplayAnswers()
            ? base + ": no display could be reached (" + displayAskedFor() +
                  "): start it in a desktop session, or without one as: xvfb-run -a " + programName
            : base + ": Qt could not start: " + oneLine(heldMessages + msg);
    std::fputs((line + "\n").c_str(), stderr);
    std::_Exit(1);
}

// Qt's own texts (the colour dialog, the message box's buttons) in the
// user's language; ours stay as they are.
void installQtTranslations(QObject* parent)
{
    auto* translator = new QTranslator(parent);
    if (translator->load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
}
}  // namespace

struct Runtime::Impl {
    int argc = 1;
    char* argv[2];
    std::string argv0;
    std::unique_ptr<QApplication> app;
    std::unique_ptr<QSocketNotifier> notifier;
};

Runtime::Runtime(const char* argv0, const std::string& name, const std::string& desktopId)
    : d(std::make_unique<Impl>())
{
    d->argv0 = argv0 ? argv0 : "gradient-logo";
    d->argv[0] = d->argv0.data();
    d->argv[1] = nullptr;
    programName = d->argv0;
    displayName = name;
    const QtMessageHandler previous = qInstallMessageHandler(whileConnecting);
    d->app = std::make_unique<QApplication>(d->argc, d->argv);
    qInstallMessageHandler(previous);
    if (!heldMessages.isEmpty())
        std::fputs(heldMessages.toLocal8Bit().constData(), stderr);
    heldMessages.clear();
    // No application display name: Qt would append it to every window title.
    if (!desktopId.empty())
        QGuiApplication::setDesktopFileName(QString::fromStdString(desktopId));
    installQtTranslations(d->app.get());
    InstallAccessibility();

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

const std::string& Runtime::DisplayName() { return displayName; }

std::string Runtime::ProgramName() { return programName.substr(programName.rfind('/') + 1); }

}  // namespace rt
