#include "DisplayProbe.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

namespace rt {

namespace {
std::string env(const char* name)
{
    const char* v = std::getenv(name);
    return v ? v : "";
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

}  // namespace

std::string DisplayAskedFor()
{
    std::string what;
    for (const char* name : {"QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "DISPLAY"})
        if (!env(name).empty())
            what += (what.empty() ? "" : ", ") + std::string(name) + "=" + env(name);
    return what.empty() ? "DISPLAY is not set" : what;
}

// Only for want of a display: any other cause (a missing plugin, a refused
// connection) is the toolkit's to name.
bool NoDisplayAnswers()
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

}  // namespace rt
