#pragma once
// A file descriptor with one owner, closed on every path; close() itself is
// checked where it counts.

#include <cerrno>
#include <cstring>
#include <string>
#include <unistd.h>
#include <utility>

#include "Types.h"

namespace rt {

class Fd {
public:
    Fd() = default;
    explicit Fd(int fd) : fd_(fd) {}
    Fd(Fd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Fd& operator=(Fd&& other) noexcept
    {
        if (this != &other) {
            reset();
            fd_ = std::exchange(other.fd_, -1);
        }
        return *this;
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() { reset(); }

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // The descriptor handed to a new owner (a directory listing, say).
    int release() { return std::exchange(fd_, -1); }
    void reset(int fd = -1)
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = fd;
    }
    Failure close()
    {
        if (::close(release()) != 0)
            return std::string(std::strerror(errno));
        return Succeeded();
    }

private:
    int fd_ = -1;
};

}  // namespace rt
