// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <utility>
#include <variant>

namespace km740 {

// Why an operation failed, in the terms the caller acts on.
enum class FailureKind {
    io,        // the port, a file or the disk refused
    timeout,   // the meter did not answer in time
    protocol,  // the meter answered, but not with the reply the command has
    data,      // bytes or lines that cannot be what they claim to be
    cancelled, // the user or the program stopped it
};

struct Failure {
    FailureKind kind = FailureKind::io;
    std::string message;
};

inline Failure failure(FailureKind kind, std::string message)
{
    return Failure{kind, std::move(message)};
}

// A value or the reason there is none.
template <typename T>
class Result {
public:
    Result(T value) : v_(std::move(value)) {}
    Result(Failure f) : v_(std::move(f)) {}

    bool ok() const { return std::holds_alternative<T>(v_); }
    explicit operator bool() const { return ok(); }

    T& value() & { return std::get<T>(v_); }
    const T& value() const& { return std::get<T>(v_); }
    T&& value() && { return std::get<T>(std::move(v_)); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }

    const Failure& error() const { return std::get<Failure>(v_); }

private:
    std::variant<T, Failure> v_;
};

// For operations that give nothing back but may fail.
struct Done {};
using Status = Result<Done>;
inline Status success()
{
    return Done{};
}

} // namespace km740
