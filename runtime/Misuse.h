#pragma once
// A call that the runtime does not support, a programming error: an exception
// whose text is a literal, so that raising it needs no string.

#include <exception>

namespace rt {

class Misuse : public std::exception {
public:
    explicit Misuse(const char* what) noexcept : what_(what) {}
    const char* what() const noexcept override { return what_; }

private:
    const char* what_;
};

}  // namespace rt
