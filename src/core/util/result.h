// SPDX-License-Identifier: MIT
#pragma once

#include <cassert>
#include <string>
#include <utility>
#include <variant>

#include "core/util/error_code.h"

namespace veyla {

// An error code with a human-readable detail (a path, an offset, a reason).
struct Error {
    ErrorCode code;
    std::string detail;
};

// Either a value or an Error. The core returns these instead of throwing.
// An Error converts implicitly, so a function can `return Error{...};`.
template <typename T>
class [[nodiscard]] Result {
public:
    Result(T value) : m_state(std::in_place_index<0>, std::move(value)) {}
    Result(Error error) : m_state(std::in_place_index<1>, std::move(error)) {}

    bool ok() const { return m_state.index() == 0; }
    explicit operator bool() const { return ok(); }

    T& value() &
    {
        assert(ok());
        return std::get<0>(m_state);
    }
    const T& value() const&
    {
        assert(ok());
        return std::get<0>(m_state);
    }
    T&& value() &&
    {
        assert(ok());
        return std::get<0>(std::move(m_state));
    }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }

    const Error& error() const
    {
        assert(!ok());
        return std::get<1>(m_state);
    }
    ErrorCode code() const { return error().code; }

private:
    std::variant<T, Error> m_state;
};

template <>
class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Error error) : m_error(std::move(error)), m_failed(true) {}

    bool ok() const { return !m_failed; }
    explicit operator bool() const { return ok(); }
    const Error& error() const
    {
        assert(m_failed);
        return m_error;
    }
    ErrorCode code() const { return error().code; }

private:
    Error m_error{ErrorCode::InvalidArgument, {}};
    bool m_failed = false;
};

using Status = Result<void>;

}  // namespace veyla
