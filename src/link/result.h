#pragma once

#include <string>
#include <utility>
#include <variant>

namespace sequaflow {

// A failure that a caller must handle: an error code of the caller's choosing plus a human-readable detail
// (the system's reason, a file name and line, ...).
template <typename Code>
struct Error {
    Code code{};
    std::string detail;
};

// Value or error. Kept deliberately small: no exceptions cross a layer boundary.
template <typename T, typename Code>
class [[nodiscard]] Result {
public:
    Result(T value) : v_(std::move(value)) {}
    Result(Error<Code> error) : v_(std::move(error)) {}

    bool ok() const { return std::holds_alternative<T>(v_); }
    explicit operator bool() const { return ok(); }

    T& value() { return std::get<T>(v_); }
    const T& value() const { return std::get<T>(v_); }
    T& operator*() { return value(); }
    const T& operator*() const { return value(); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }

    const Error<Code>& error() const { return std::get<Error<Code>>(v_); }

private:
    std::variant<T, Error<Code>> v_;
};

struct Ok {};

}  // namespace sequaflow
