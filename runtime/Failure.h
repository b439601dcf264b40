#pragma once
// The outcome of an operation that can fail for a reason the user is told:
// success, or the reason. It is no truth value, so that success reads as
// success (ok(), failed()); and a dropped one is a warning.

#include <string>
#include <utility>

namespace rt {

class [[nodiscard]] Failure {
public:
    Failure() = default;  // success: see Succeeded()
    Failure(std::string reason) : reason_(std::move(reason)), failed_(true) {}
    Failure(const char* reason) : reason_(reason), failed_(true) {}

    bool ok() const { return !failed_; }
    bool failed() const { return failed_; }
    // Empty on success.
    const std::string& reason() const { return reason_; }
    bool operator==(const Failure&) const = default;

private:
    std::string reason_;
    bool failed_ = false;
};

inline Failure Succeeded() { return Failure(); }

}  // namespace rt
